#include "forms/accessible_names.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace {

struct NamedControl
{
    const char *window;
    const char *control;
    const char *name; // for controls without a caption of their own
};

// Controls whose caption is missing or does not say what they are.
const NamedControl kNames[] = {
    {"Form1", "Drive1", "Drive"},
    {"Form1", "Combo2", "File pattern"},
    {"Form1", "Dir1", "Folder"},
    {"Form1", "File1", "Files"},
    {"Form1", "Combo1", "File history"},
    {"Form1", "List1", "Connections"},
    {"Form1", "Text2", "System messages"},
    {"Form1", "Text1", "Find"},
    // The caption's spaces leave room for the seconds box inside it.
    {"Form1", "Check1", "Update every N seconds"},
    {"Form1", "Text3", "Update interval in seconds"},
};

struct Buddy
{
    const char *window;
    const char *label;
    const char *control;
};

// Fixed captions that name the control beside them.
const Buddy kBuddies[] = {
    {"Form1", "Label4", "List1"},
    {"Form1", "Label3", "Text2"},
    {"Form1", "Label7", "Text1"},
};

QString captionOf(const QWidget *w)
{
    QString text;
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        text = button->text();
    else if (auto *frame = qobject_cast<const QGroupBox *>(w))
        text = frame->title();
    return text.remove(QLatin1Char('&')).simplified();
}

// Keeps the description equal to the trimmed tooltip, which the scan and the
// file browser change while the program runs.
class TooltipDescription final : public QObject
{
public:
    using QObject::QObject;

    void follow(QWidget *w)
    {
        w->installEventFilter(this);
        w->setAccessibleDescription(w->toolTip().trimmed());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ToolTipChange) {
            auto *w = static_cast<QWidget *>(watched);
            w->setAccessibleDescription(w->toolTip().trimmed());
        }
        return false;
    }
};

} // namespace

void accessible::describeControls(QWidget *window)
{
    const QString windowName = window->objectName();
    auto *descriptions = new TooltipDescription(window);
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // Designer controls only, not the parts Qt builds inside them.
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || qobject_cast<QLabel *>(w))
            continue;
        const QString caption = captionOf(w);
        if (!caption.isEmpty())
            w->setAccessibleName(caption);
        descriptions->follow(w);
    }
    for (const NamedControl &n : kNames) {
        if (windowName == QLatin1String(n.window))
            if (auto *w = window->findChild<QWidget *>(QLatin1String(n.control)))
                w->setAccessibleName(QString::fromLatin1(n.name));
    }
    for (const Buddy &b : kBuddies) {
        if (windowName != QLatin1String(b.window))
            continue;
        auto *label = window->findChild<QLabel *>(QLatin1String(b.label));
        auto *control = window->findChild<QWidget *>(QLatin1String(b.control));
        if (label && control)
            label->setBuddy(control);
    }
}
