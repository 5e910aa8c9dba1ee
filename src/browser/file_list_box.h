// The file list: ordinary files of one folder that match the pattern.
#pragma once

#include <QListWidget>

class FileListBox final : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QString path() const { return m_path; }
    // Lists the files of a DOS folder; pathChanged follows a real change.
    void setPath(const QString &dosFolder);
    QString pattern() const { return m_pattern; }
    // False, and nothing changes, when FilePattern refuses the text;
    // patternChanged follows a real change.
    bool setPattern(const QString &pattern);
    // Re-reads the folder; no entry is selected afterwards.
    void refresh();

    // The selected name, "" when none.
    QString fileName() const;
    int listIndex() const;
    // Selecting an entry by code counts as clicking it; -1 selects none.
    void setListIndex(int index);
    // The first entry after `start` (from the top for -1, wrapping round)
    // that begins with `prefix` without regard to case; -1 when none does.
    int findString(const QString &prefix, int start = -1) const;

signals:
    void pathChanged();
    void patternChanged();
    void fileClicked();
    void fileDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    // The one selected entry stays until the folder or pattern changes: a
    // click beside the entries or a Ctrl+click on it does not unselect it.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    bool m_refreshing = false;
    int m_rowAtPress = -1;
};
