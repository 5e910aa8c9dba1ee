#include "platform/qt_printer.h"

#include <QFontMetrics>
#include <QPrinterInfo>

QtPrinter::QtPrinter(QString pdfFile) : m_pdfFile(std::move(pdfFile)) { m_font.setPointSize(10); }

QtPrinter::~QtPrinter()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool QtPrinter::begin()
{
    m_painter.reset();
    if (m_pdfFile.isEmpty()) {
        // Without an installed printer QPrinter quietly falls back to PDF
        // output; that must count as "no printer", not as a printed report.
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return false;
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    } else {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_pdfFile);
    }
    m_printer->setCopyCount(1);
    m_printer->setPageOrientation(QPageLayout::Portrait);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_painter.reset();
        return false;
    }
    m_y = 0;
    applyFont();
    return true;
}

void QtPrinter::applyFont()
{
    if (m_painter)
        m_painter->setFont(m_font);
}

bool QtPrinter::setFontName(const QString &name)
{
    m_font.setFamily(name);
    m_font.setStyleHint(QFont::TypeWriter);
    applyFont();
    return m_painter != nullptr;
}

bool QtPrinter::setBold(bool on)
{
    m_font.setBold(on);
    applyFont();
    return m_painter != nullptr;
}

bool QtPrinter::printLine(const QString &line)
{
    if (!m_painter)
        return false;
    const QFontMetrics fm(m_painter->font(), m_printer.get());
    const QRect page = m_painter->viewport();
    if (m_y + fm.height() > page.height() && m_y > 0) {
        if (!m_printer->newPage())
            return false;
        m_y = 0;
    }
    m_painter->drawText(0, m_y + fm.ascent(), line);
    m_y += fm.lineSpacing();
    return true;
}

bool QtPrinter::endDocument()
{
    if (!m_painter)
        return false;
    const bool ok = m_painter->end();
    m_painter.reset();
    return ok;
}
