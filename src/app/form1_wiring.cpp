#include "app/form1_wiring.h"

#include "about/about_box.h"
#include "actions/connection_actions.h"
#include "actions/reports.h"
#include "browser/file_browser.h"
#include "forms/form1.h"
#include "options/options_controller.h"
#include "platform/classic_timer.h"
#include "scan/connection_details.h"
#include "scan/scanner.h"
#include "scan/watch_mode.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

void wireForm1(Form1 &f, const Form1Handlers &h)
{
    auto click = [&f](QPushButton *b, auto &&handler) {
        QObject::connect(b, &QPushButton::clicked, &f, handler);
    };
    // Every trigger scans the browser's folder and selected file.
    const auto scan
        = [h] { h.scanner.Scan(h.browser.directoryPath(), h.browser.selectedFileName()); };
    click(f.Command1(), scan);
    QObject::connect(&h.browser, &FileBrowser::scanRequested, &f, scan);
    QObject::connect(&h.browser, &FileBrowser::resultWithdrawn, &h.scanner, &Scanner::withdraw);
    QObject::connect(f.Timer1(), &ClassicTimer::tick, &h.watch, &WatchMode::onTimerTick);
    QObject::connect(&h.watch, &WatchMode::scanDue, &f, scan);
    click(f.Command9(), [h] { h.scanner.onStopClicked(); });
    QObject::connect(f.Text1(), &QLineEdit::textChanged, &f,
                     [h] { h.scanner.onFindTextChanged(); });

    QObject::connect(f.Check1(), &QCheckBox::toggled, &f, [h] { h.watch.onCheck1Toggled(); });
    QObject::connect(f.Text3(), &QLineEdit::textChanged, &f, [h] { h.watch.onText3Changed(); });

    // Every selection change a user makes (a click toggles a line, Space
    // does by keyboard), and every move of the current line by keyboard, the
    // Find box or the lock search, shows its details the same way.
    QObject::connect(f.List1(), &QListWidget::itemSelectionChanged, &f,
                     [h] { h.details.onList1Click(); });
    QObject::connect(f.List1(), &QListWidget::currentRowChanged, &f,
                     [h] { h.details.onList1Click(); });
    QObject::connect(&h.scanner, &Scanner::currentRowFound, &f, [h] { h.details.onList1Click(); });
    click(f.Command11(), [h] { h.details.onLockedClick(); });

    click(f.Command14(), [h] { h.actions.onSelectAllClicked(); });
    click(f.Command15(), [h] { h.actions.onSelectNoneClicked(); });
    click(f.Command12(), [h] { h.actions.onSendClicked(); });
    click(f.Command13(), [h] { h.actions.onClearClicked(); });
    click(f.Command6(), [h] { h.actions.onClearFindClicked(); });

    click(f.Command16(), [h] { h.reports.onUserClicked(); });
    click(f.Command5(), [h] { h.reports.onCopyClicked(); });
    click(f.Command4(), [h] { h.reports.onPrintClicked(); });

    click(f.Command7(), [h] { h.about.onAboutClicked(); });
    click(f.Command17(), [h] { h.options.open(); });
    click(f.Command2(), [&f] { f.close(); });
}
