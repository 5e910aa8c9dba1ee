// The directory list: the current folder's ancestors, then its subfolders.
#pragma once

#include <QListWidget>

class DirListBox final : public QListWidget
{
    Q_OBJECT
public:
    explicit DirListBox(QWidget *parent = nullptr) : QListWidget(parent) {}
};
