// Prints lines on the default printer, or into a PDF file when one is named
// (used by tests and by machines without a printer).
#pragma once

#include "platform/platform.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

class QtPrinter final : public Printer
{
public:
    // An empty file name means the system's default printer.
    explicit QtPrinter(QString pdfFile = {});
    ~QtPrinter() override;

    bool begin() override;
    bool setFontName(const QString &name) override;
    bool setBold(bool on) override;
    bool printLine(const QString &line) override;
    bool endDocument() override;

private:
    void applyFont();

    QString m_pdfFile;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;
    int m_y = 0;
};
