// The About button: the program's information message, then the offer to
// open the maker's web page.
#pragma once

#include <QString>

class Form1;
class Platform;

// Placeholders until the maker's real addresses are known.
inline constexpr char16_t kAboutContactEmail[] = u"support@example.com";
inline constexpr char16_t kAboutWebPage[] = u"https://example.com/velmora";

// "Velmora 1.4": plain decimals, so minor 10 reads "1.10".
QString AboutVersionLine(int major, int minor);
// The information message, lines joined by "\r\n".
QString AboutBodyText(int major, int minor);

class AboutBox final
{
public:
    AboutBox(Form1 &form, Platform &platform);

    void onAboutClicked(); // Command7 click

private:
    Form1 &m_form;
    Platform &m_platform;
};
