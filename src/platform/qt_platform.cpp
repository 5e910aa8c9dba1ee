#include "platform/qt_platform.h"

#include "platform/qt_printer.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QThread>
#include <QUrl>
#include <QWidget>
#include <QWindow>

QtPlatform::QtPlatform() : m_printer(std::make_unique<QtPrinter>()) { }

QtPlatform::~QtPlatform()
{
    while (m_busyDepth > 0)
        popBusyCursor();
}

void QtPlatform::beep() { QApplication::beep(); }

Platform::Answer QtPlatform::messageBox(QWidget *parent, const QString &text, const QString &title,
                                        Icon icon, Buttons buttons, bool topmost)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    if (topmost) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    // The busy pointer of a running scan must not hide the box's buttons.
    const bool busy = m_busyDepth > 0;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int r = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    if (buttons == Buttons::YesNo)
        return r == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

QString QtPlatform::inputBox(QWidget *parent, const QString &prompt, const QString &title,
                             const QString &defaultText)
{
    bool ok = false;
    const QString text
        = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void QtPlatform::pushBusyCursor()
{
    ++m_busyDepth;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtPlatform::popBusyCursor()
{
    if (m_busyDepth == 0)
        return;
    --m_busyDepth;
    QApplication::restoreOverrideCursor();
}

QDateTime QtPlatform::now() { return QDateTime::currentDateTime(); }

void QtPlatform::processEvents() { QCoreApplication::processEvents(); }

void QtPlatform::sleepMs(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }

bool QtPlatform::setClipboardText(const QString &text)
{
    QClipboard *cb = QGuiApplication::clipboard();
    if (!cb)
        return false;
    cb->clear();
    cb->setText(text);
    return cb->text() == text;
}

Printer &QtPlatform::printer() { return *m_printer; }

bool QtPlatform::openUrl(const QString &url) { return QDesktopServices::openUrl(QUrl(url)); }

bool QtPlatform::activateWindowByTitle(const QString &title)
{
    QWidget *prefixMatch = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        if (w->windowTitle() == title) {
            prefixMatch = w;
            break;
        }
        if (!prefixMatch && w->windowTitle().startsWith(title))
            prefixMatch = w;
    }
    if (!prefixMatch)
        return false;
    prefixMatch->raise();
    prefixMatch->activateWindow();
    return true;
}

QSize QtPlatform::screenSize()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1024, 768);
}

bool QtPlatform::startWindowMove(QWidget *window)
{
    if (!window)
        return false;
    QWindow *handle = window->windowHandle();
    return handle && handle->startSystemMove();
}
