#include "toolwindow/tastengriff.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template<class T> using XcbAntwort = std::unique_ptr<T, decltype(&std::free)>;

constexpr std::uint32_t NumLockSymbol = 0xff7f, ScrollLockSymbol = 0xff14;
// XKEYBOARD's events that bring a new key map: NewKeyboardNotify and MapNotify.
constexpr std::uint8_t XkbNeueTastatur = 0, XkbNeueBelegung = 1;

xcb_connection_t *verbindung()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t wurzel(xcb_connection_t *c)
{
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The key map as the core protocol shows it: per key code its symbols.
struct Belegung
{
    xcb_keycode_t erster = 0;
    int proTaste = 0;
    QList<xcb_keysym_t> symbole;

    QList<xcb_keycode_t> tastenMit(xcb_keysym_t symbol) const
    {
        QList<xcb_keycode_t> tasten;
        for (qsizetype i = 0; proTaste > 0 && i < symbole.size(); ++i)
            if (symbole[i] == symbol && !tasten.contains(xcb_keycode_t(erster + i / proTaste)))
                tasten.append(xcb_keycode_t(erster + i / proTaste));
        return tasten;
    }
};

Belegung belegungLesen(xcb_connection_t *c)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    Belegung b;
    b.erster = setup->min_keycode;
    XcbAntwort<xcb_get_keyboard_mapping_reply_t> a(
        xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, setup->min_keycode, setup->max_keycode - setup->min_keycode + 1),
            nullptr),
        &std::free);
    if (!a)
        return b;
    b.proTaste = a->keysyms_per_keycode;
    const xcb_keysym_t *s = xcb_get_keyboard_mapping_keysyms(a.get());
    const int n = xcb_get_keyboard_mapping_keysyms_length(a.get());
    b.symbole = QList<xcb_keysym_t>(s, s + n);
    return b;
}

// The modifier bit that a key with `symbol` sets (NumLock is Mod2 on most layouts, but not on
// all); 0 when no modifier carries it.
std::uint16_t modifierVon(xcb_connection_t *c, const Belegung &b, xcb_keysym_t symbol)
{
    const QList<xcb_keycode_t> tasten = b.tastenMit(symbol);
    XcbAntwort<xcb_get_modifier_mapping_reply_t> a(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr), &std::free);
    if (!a || tasten.isEmpty())
        return 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(a.get());
    for (int mod = 0; mod < 8; ++mod)
        for (int i = 0; i < a->keycodes_per_modifier; ++i)
            if (tasten.contains(codes[mod * a->keycodes_per_modifier + i]))
                return std::uint16_t(1u << mod);
    return 0;
}

std::uint8_t xkbErstesEreignis(xcb_connection_t *c)
{
    static const char name[] = "XKEYBOARD";
    XcbAntwort<xcb_query_extension_reply_t> a(
        xcb_query_extension_reply(c, xcb_query_extension(c, sizeof name - 1, name), nullptr), &std::free);
    return a && a->present ? a->first_event : 0;
}

} // namespace

TastenGriff::TastenGriff(QObject *parent) : QObject(parent)
{
    if (xcb_connection_t *c = verbindung())
        m_xkbEreignis = xkbErstesEreignis(c);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TastenGriff::~TastenGriff()
{
    loslassen();
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

QString TastenGriff::greifen(const GlobaleTaste &taste)
{
    loslassen();
    m_taste = taste;
    m_aktiv = true;
    return griffAnlegen();
}

QString TastenGriff::griffAnlegen()
{
    xcb_connection_t *c = verbindung();
    if (!c)
        return QStringLiteral("ohne X11-Verbindung gibt es keine globale Taste");
    const Belegung b = belegungLesen(c);
    m_tasten = b.tastenMit(m_taste.keysym);
    if (m_tasten.isEmpty())
        return QStringLiteral("keine Taste der Tastaturbelegung trägt dieses Zeichen");
    // CapsLock, NumLock and ScrollLock change the state the X server compares with the grab;
    // the key must work in each of their combinations.
    const std::uint16_t num = modifierVon(c, b, NumLockSymbol);
    const std::uint16_t scroll = modifierVon(c, b, ScrollLockSymbol);
    QList<std::uint16_t> sperrBits;
    for (const std::uint16_t bit : {std::uint16_t(XCB_MOD_MASK_LOCK), num, scroll})
        if (bit && !(bit & m_taste.modifier) && !sperrBits.contains(bit))
            sperrBits.append(bit);
    m_sperrBits = 0;
    for (const std::uint16_t bit : std::as_const(sperrBits))
        m_sperrBits |= bit;
    m_sperren.clear();
    for (int auswahl = 0; auswahl < (1 << sperrBits.size()); ++auswahl) {
        std::uint16_t sperre = 0;
        for (int i = 0; i < sperrBits.size(); ++i)
            if (auswahl & (1 << i))
                sperre |= sperrBits[i];
        m_sperren.append(sperre);
    }
    QList<xcb_void_cookie_t> anfragen;
    for (const xcb_keycode_t taste : std::as_const(m_tasten))
        for (const std::uint16_t sperre : std::as_const(m_sperren))
            anfragen.append(xcb_grab_key_checked(c, 0, wurzel(c), std::uint16_t(m_taste.modifier | sperre),
                                                 taste, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool belegt = false;
    for (const xcb_void_cookie_t &a : std::as_const(anfragen))
        if (XcbAntwort<xcb_generic_error_t> fehler(xcb_request_check(c, a), &std::free); fehler)
            belegt = true;
    if (!belegt)
        return {};
    // Half a key is worse than none: it would work or not depending on NumLock.
    loslassen();
    return QStringLiteral("ein anderes Programm hält sie schon");
}

void TastenGriff::loslassen()
{
    xcb_connection_t *c = verbindung();
    if (!c)
        return;
    for (const xcb_keycode_t taste : std::as_const(m_tasten))
        for (const std::uint16_t sperre : std::as_const(m_sperren))
            xcb_ungrab_key(c, taste, wurzel(c), std::uint16_t(m_taste.modifier | sperre));
    m_tasten.clear();
    xcb_flush(c);
}

bool TastenGriff::nativeEventFilter(const QByteArray &art, void *nachricht, qintptr *)
{
    if (!m_aktiv || art != "xcb_generic_event_t")
        return false;
    const auto *e = static_cast<const xcb_generic_event_t *>(nachricht);
    const std::uint8_t typ = e->response_type & 0x7f;
    if (typ == XCB_MAPPING_NOTIFY || (m_xkbEreignis && typ == m_xkbEreignis &&
                                      (e->pad0 == XkbNeueTastatur || e->pad0 == XkbNeueBelegung))) {
        // Another layout may put the symbol on other keys, or NumLock on another modifier.
        loslassen();
        if (const QString warum = griffAnlegen(); !warum.isEmpty())
            std::fprintf(
                stderr,
                "skizzomat: Die globale Taste wirkt nach dem Wechsel der Tastaturbelegung nicht mehr: "
                "%s.\n",
                qPrintable(warum));
        return false;
    }
    if (typ != XCB_KEY_PRESS && typ != XCB_KEY_RELEASE)
        return false;
    const auto *k = reinterpret_cast<const xcb_key_press_event_t *>(e);
    if (k->event != k->root || !m_tasten.contains(k->detail))
        return false;
    // The modifiers may be let go before the key (xdotool does so).
    if (typ == XCB_KEY_RELEASE) {
        if (!m_unten)
            return false;
        m_unten = false;
        m_losgelassenUm = k->time;
        return true;
    }
    if ((k->state & 0xff & ~m_sperrBits) != m_taste.modifier)
        return false;
    // Auto-repeat sends more presses while the key is held, each after a release of the same
    // moment where the server does not tell them apart.
    if (!m_unten && k->time != m_losgelassenUm)
        emit gedrueckt();
    m_unten = true;
    return true;
}
