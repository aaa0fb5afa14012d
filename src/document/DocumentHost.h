#pragma once
// What a document's long operations (parsing a reply, reading or writing a
// file, computing statistics) need from the program around them: serving the
// user interface between points, and the main window's few operations. The
// program implements it with its event loop and main window; headless callers
// (the tr58 tool, tests, benchmarks) pass nothing or a recorder.

class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    // Lets the user interface run (closing the window sets the document's
    // bExit, which the loops check after each call).
    virtual void Yield() {}
    // Ends the real-time window without asking (a failed real-time reply).
    virtual void StopReal() {}
    // Stops the real-time window; limitReached when it holds 65000 points.
    virtual void StopRealTime(bool /*limitReached*/) {}
    // Enables or disables the main window's commands for documents.
    virtual void SetDocumentCommands(bool /*enabled*/) {}
};
