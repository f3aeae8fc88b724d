#include "toolwindow/globaletaste.h"

#include <QKeySequence>

#include <array>

namespace {

constexpr std::uint16_t UmschaltBit = 1, StrgBit = 4, AltBit = 8, MetaBit = 64;

struct Sondertaste
{
    Qt::Key taste;
    std::uint32_t keysym;
    const char *name;
};

constexpr std::array<Sondertaste, 22> Sondertasten{{
    {Qt::Key_Escape, 0xff1b, "Escape"},       {Qt::Key_Tab, 0xff09, "Tab"},
    {Qt::Key_Backspace, 0xff08, "BackSpace"}, {Qt::Key_Return, 0xff0d, "Return"},
    {Qt::Key_Enter, 0xff8d, "KP_Enter"},      {Qt::Key_Insert, 0xff63, "Insert"},
    {Qt::Key_Delete, 0xffff, "Delete"},       {Qt::Key_Pause, 0xff13, "Pause"},
    {Qt::Key_Print, 0xff61, "Print"},         {Qt::Key_SysReq, 0xff15, "Sys_Req"},
    {Qt::Key_Home, 0xff50, "Home"},           {Qt::Key_End, 0xff57, "End"},
    {Qt::Key_Left, 0xff51, "Left"},           {Qt::Key_Up, 0xff52, "Up"},
    {Qt::Key_Right, 0xff53, "Right"},         {Qt::Key_Down, 0xff54, "Down"},
    {Qt::Key_PageUp, 0xff55, "Prior"},        {Qt::Key_PageDown, 0xff56, "Next"},
    {Qt::Key_Menu, 0xff67, "Menu"},           {Qt::Key_ScrollLock, 0xff14, "Scroll_Lock"},
    {Qt::Key_Space, 0x20, "space"},           {Qt::Key_Help, 0xff6a, "Help"},
}};

} // namespace

std::optional<GlobaleTaste> globaleTasteLesen(const QString &text)
{
    const QKeySequence folge = QKeySequence::fromString(text.trimmed(), QKeySequence::PortableText);
    if (folge.count() != 1)
        return std::nullopt;
    const QKeyCombination kombination = folge[0];
    const int k = kombination.key();
    const Qt::KeyboardModifiers mods = kombination.keyboardModifiers();
    GlobaleTaste t;
    QString name;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F35) {
        t.keysym = 0xffbe + std::uint32_t(k - Qt::Key_F1);
        name = QStringLiteral("F%1").arg(k - Qt::Key_F1 + 1);
    } else if (k >= Qt::Key_A && k <= Qt::Key_Z) {
        // The key's symbol without Shift: the small letter.
        t.keysym = 'a' + std::uint32_t(k - Qt::Key_A);
        name = QChar(char16_t(t.keysym));
    } else if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        t.keysym = std::uint32_t(k);
        name = QChar(char16_t(k));
    } else {
        for (const Sondertaste &s : Sondertasten)
            if (s.taste == k) {
                t.keysym = s.keysym;
                name = QString::fromLatin1(s.name);
            }
        // Other printable keys of the Latin-1 range have the code point of their unshifted
        // character as symbol; the portal names them in words, which this program does not know.
        if (!t.keysym && ((k > 0x20 && k < 0x7f) || (k >= 0xa0 && k <= 0xff)))
            t.keysym = QChar(char16_t(k)).toLower().unicode();
    }
    if (!t.keysym)
        return std::nullopt;
    QString ausloeser;
    const auto dazu = [&](Qt::KeyboardModifier m, std::uint16_t bit, const char *portalName) {
        if (!mods.testFlag(m))
            return;
        t.modifier |= bit;
        ausloeser += QLatin1String(portalName) + QLatin1Char('+');
    };
    dazu(Qt::ControlModifier, StrgBit, "CTRL");
    dazu(Qt::AltModifier, AltBit, "ALT");
    dazu(Qt::ShiftModifier, UmschaltBit, "SHIFT");
    dazu(Qt::MetaModifier, MetaBit, "LOGO");
    if (!name.isEmpty())
        t.ausloeser = ausloeser + name;
    return t;
}
