// The User, Copy and Print buttons: one user's details or the users report,
// on the clipboard or on the printer.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Form1;
class Platform;
struct ScanContext;

class Reports final
{
public:
    // currentFullPath: the file chosen in the browser now, in DOS form.
    Reports(Form1 &form, ScanContext &scan, Platform &platform,
            std::function<QString()> currentFullPath);

    void onUserClicked(); // Command16 click
    void onCopyClicked(); // Command5 click
    void onPrintClicked(); // Command4 click

private:
    QStringList rows() const;
    void reportCopied(const QString &text, bool copied);
    bool print(const QStringList &lines);

    Form1 &m_form;
    ScanContext &m_scan;
    Platform &m_platform;
    std::function<QString()> m_currentFullPath;
};
