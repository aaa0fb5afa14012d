#include "app/CommandLine.h"

CommandLineAction ParseCommandLine(const QString& commandLine) {
    CommandLineAction action;
    const QString prefix = commandLine.left(3).toUpper();
    if (prefix == QLatin1String("/L:"))
        action.kind = CommandLineAction::Kind::Open;
    else if (prefix == QLatin1String("/P:"))
        action.kind = CommandLineAction::Kind::Print;
    else
        return action;
    action.path = commandLine.mid(4);
    return action;
}

QString CommandLineFromArguments(const QStringList& arguments) {
    if (arguments.size() == 1 && !arguments.first().trimmed().isEmpty() &&
        ParseCommandLine(arguments.first().trimmed()).kind == CommandLineAction::Kind::None)
        return QStringLiteral("/L: ") + arguments.first();
    return arguments.join(QLatin1Char(' ')).trimmed();
}

bool AcceptsDroppedFiles(const QStringList& fileNames) {
    if (fileNames.isEmpty()) return false;
    for (const QString& name : fileNames)
        if (name.right(4).toUpper() != QLatin1String(".T58")) return false;
    return true;
}
