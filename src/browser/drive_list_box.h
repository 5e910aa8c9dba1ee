// The drive list: one entry per drive, "x:" followed by a label.
#pragma once

#include <QComboBox>

class DriveListBox final : public QComboBox
{
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // The current entry's text, e.g. "f: [FS1/SYS]".
    QString drive() const { return currentText(); }
    // Selects the drive named by the first character of `text`; false when
    // there is no such drive. driveChanged follows only a real change.
    bool setDrive(const QString &text);
    // Re-reads the drives, keeping the current one when it is still there.
    void refresh();

    void showPopup() override;

signals:
    void driveChanged();

private:
    int indexOfLetter(QChar letter) const;

    bool m_refreshing = false;
};
