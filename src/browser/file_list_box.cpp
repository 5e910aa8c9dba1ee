#include "browser/file_list_box.h"

#include "browser/file_pattern.h"
#include "platform/drive_namespace.h"

FileListBox::FileListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false); // entries arrive sorted without regard to case
    // The selection, not the current row: focus alone makes a row current.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_refreshing && listIndex() >= 0)
            emit fileClicked();
    });
    // A click on the entry already selected is a click too.
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (row(item) == m_rowAtPress)
            emit fileClicked();
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit fileDoubleClicked(); });
}

void FileListBox::setPath(const QString &dosFolder)
{
    if (dosFolder == m_path)
        return;
    m_path = dosFolder;
    refresh();
    emit pathChanged();
}

bool FileListBox::setPattern(const QString &pattern)
{
    if (!FilePattern::isValid(pattern))
        return false;
    if (pattern != m_pattern) {
        m_pattern = pattern;
        refresh();
        emit patternChanged();
    }
    return true;
}

void FileListBox::refresh()
{
    m_refreshing = true;
    clear();
    if (!m_path.isEmpty()) {
        const FilePattern matcher(m_pattern);
        for (const QString &name : DriveNamespace::files(m_path))
            if (matcher.matches(name))
                addItem(name);
    }
    setCurrentRow(-1);
    m_refreshing = false;
}

QString FileListBox::fileName() const
{
    const int row = listIndex();
    return row >= 0 ? item(row)->text() : QString();
}

int FileListBox::listIndex() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

void FileListBox::setListIndex(int index)
{
    if (index < 0 || index >= count()) {
        m_refreshing = true;
        setCurrentRow(-1);
        clearSelection();
        m_refreshing = false;
        return;
    }
    if (index == listIndex())
        emit fileClicked();
    else
        setCurrentRow(index); // selects it, which emits fileClicked
}

int FileListBox::findString(const QString &prefix, int start) const
{
    const int n = count();
    if (n == 0)
        return -1;
    const int first = start < 0 || start >= n ? 0 : start + 1;
    for (int k = 0; k < n; ++k) {
        const int row = (first + k) % n;
        if (item(row)->text().startsWith(prefix, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

void FileListBox::mousePressEvent(QMouseEvent *event)
{
    m_rowAtPress = listIndex();
    QListWidget::mousePressEvent(event);
}

QItemSelectionModel::SelectionFlags FileListBox::selectionCommand(const QModelIndex &index,
                                                                  const QEvent *event) const
{
    const auto flags = QListWidget::selectionCommand(index, event);
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    if (flags & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)) {
        if (selectionModel()->isSelected(index))
            return QItemSelectionModel::NoUpdate;
        return QItemSelectionModel::ClearAndSelect;
    }
    return flags;
}
