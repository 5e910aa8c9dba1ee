#include "browser/drive_list_box.h"

#include "platform/drive_namespace.h"

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    refresh();
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_refreshing && index >= 0)
            emit driveChanged();
    });
}

int DriveListBox::indexOfLetter(QChar letter) const
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i).at(0).toLower() == letter.toLower())
            return i;
    return -1;
}

bool DriveListBox::setDrive(const QString &text)
{
    if (text.isEmpty())
        return false;
    int index = indexOfLetter(text.at(0));
    if (index < 0) {
        refresh(); // a drive mapped since the list was last read
        index = indexOfLetter(text.at(0));
    }
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

void DriveListBox::refresh()
{
    const QString current = drive();
    const QStringList texts = DriveNamespace::driveTexts();
    QStringList shown;
    for (int i = 0; i < count(); ++i)
        shown << itemText(i);
    if (texts == shown)
        return;
    m_refreshing = true;
    clear();
    addItems(texts);
    int index = current.isEmpty() ? -1 : indexOfLetter(current.at(0));
    if (index < 0)
        index = indexOfLetter(QLatin1Char('c'));
    setCurrentIndex(index);
    m_refreshing = false;
    // A current drive that vanished is a change of drive.
    if (!current.isEmpty() && drive().at(0).toLower() != current.at(0).toLower())
        emit driveChanged();
}

void DriveListBox::showPopup()
{
    refresh();
    QComboBox::showPopup();
}
