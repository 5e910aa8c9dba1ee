// The program's icon: a document under a magnifying glass (dist/icons), from
// the desktop's icon theme when installed, else the same pictures built in.
#pragma once

#include <QIcon>

QIcon velmoraIcon();
