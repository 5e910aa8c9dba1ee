// The program's 32 x 32, 16-colour icon: a document under a magnifying glass.
#pragma once

#include <QIcon>

QIcon velmoraIcon();
