// Connects each control event of the main window to the handler that owns it.
#pragma once

class AboutBox;
class ConnectionActions;
class ConnectionDetails;
class FileBrowser;
class Form1;
class OptionsController;
class Reports;
class Scanner;
class WatchMode;

struct Form1Handlers
{
    FileBrowser &browser;
    Scanner &scanner;
    WatchMode &watch;
    ConnectionDetails &details;
    ConnectionActions &actions;
    Reports &reports;
    AboutBox &about;
    OptionsController &options;
};

// The browser controls are connected by the file browser itself, since
// their chaining is its behaviour.
void wireForm1(Form1 &form, const Form1Handlers &h);
