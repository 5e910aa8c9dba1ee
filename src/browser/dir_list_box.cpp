#include "browser/dir_list_box.h"

#include "platform/drive_namespace.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

// Indents each entry by its depth, as the classic folder tree does.
class IndentDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->rect.adjust(index.data(DirListBox::DepthRole).toInt() * 12, 0, 0, 0);
    }
};

} // namespace

DirListBox::DirListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::open);
}

bool DirListBox::setPath(const QString &dosPath)
{
    const QString folder = DriveNamespace::canonical(dosPath);
    if (folder.isEmpty() || !DriveNamespace::isFolder(folder))
        return false;
    if (folder == m_path)
        return true;
    m_path = folder;
    refresh();
    emit pathChanged();
    return true;
}

void DirListBox::refresh()
{
    clear();
    if (m_path.isEmpty())
        return;
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const auto add
        = [this](const QString &text, const QString &path, int depth, const QIcon &icon) {
              auto *item = new QListWidgetItem(icon, text, this);
              item->setData(PathRole, path);
              item->setData(DepthRole, depth);
              return item;
          };

    const QString root = m_path.left(3); // "F:\"
    QListWidgetItem *current = add(root, root, 0, openIcon);
    QString folder = root;
    int depth = 0;
    for (const QString &part : m_path.mid(3).split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        folder = DriveNamespace::join(folder, part);
        current = add(part, folder, ++depth, openIcon);
    }
    for (const QString &sub : DriveNamespace::subfolders(m_path))
        add(sub, DriveNamespace::join(m_path, sub), depth + 1, closedIcon);
    setCurrentItem(current);
}

void DirListBox::open(QListWidgetItem *item)
{
    if (item && !setPath(item->data(PathRole).toString()))
        refresh(); // the folder went away; show what is there now
}

void DirListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}
