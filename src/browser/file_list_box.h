// The file list: ordinary files of one folder that match the pattern.
#pragma once

#include <QListWidget>

class FileListBox final : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr) : QListWidget(parent) {}
};
