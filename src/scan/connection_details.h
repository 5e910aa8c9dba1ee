// Shows the details of the connection list's current row and finds the first
// listed user who holds a lock on the scanned file.
#pragma once

class Form1;
class Platform;
struct ScanContext;

class ConnectionDetails final
{
public:
    // Nothing here reaches past the window; the platform is taken so every
    // handler class is built the same way.
    ConnectionDetails(Form1 &form, ScanContext &scan, Platform &platform);

    // List1 click (and any change of its current row): the current row's
    // details, with the rights line, into Text2; Send, Clear and User shown
    // while at least one row is selected.
    void onList1Click();
    // Command11 click: the first row in list order whose record holds a lock
    // becomes current and its details are shown; otherwise a status line.
    void onLockedClick();

private:
    Form1 &m_form;
    ScanContext &m_scan;
};
