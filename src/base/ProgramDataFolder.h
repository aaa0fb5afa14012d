#pragma once
// Where a program of TR58 Link finds its own files (the branding file "tr58link.cfg", the help
// files and the logo picture that replace the built-in ones, the old trace file): beside the
// program when it runs from its build folder, and <prefix>/share/tr58link when it is installed
// as <prefix>/bin/<program> (cmake/Install.cmake keeps the two folders in that relation).

#include <QString>

// The installed data folder as seen from the folder of the programs.
inline constexpr char kDataFolderFromPrograms[] = "../share/tr58link";

// The data folder of a program in programFolder: programFolder/../share/tr58link when that
// folder exists, otherwise programFolder itself.
QString ProgramDataFolder(const QString& programFolder);

// The data folder of the running program (QCoreApplication::applicationDirPath()).
QString ProgramDataFolder();
