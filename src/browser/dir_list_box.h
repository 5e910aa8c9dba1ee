// The directory list: the current folder's ancestors, then its subfolders.
#pragma once

#include <QListWidget>

class DirListBox final : public QListWidget
{
    Q_OBJECT
public:
    explicit DirListBox(QWidget *parent = nullptr);

    // The current folder as a DOS path ("F:\APPS", "F:\"); empty at first.
    QString path() const { return m_path; }
    // Opens a folder, spelled as on disk; false (nothing changes) when it is
    // not a folder that can be listed. pathChanged follows only a real change.
    bool setPath(const QString &dosPath);
    // Re-reads the subfolders of the current folder.
    void refresh();

    // The folder an entry stands for.
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int DepthRole = Qt::UserRole + 1;

signals:
    void pathChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void open(QListWidgetItem *item);

    QString m_path;
};
