// The global key on X11: grabbed on the root window, so that it reaches the program whichever
// window has the keyboard.
#pragma once

#include "toolwindow/globaletaste.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>

#include <cstdint>

class TastenGriff : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit TastenGriff(QObject *parent = nullptr);
    ~TastenGriff() override;

    // Grabs `taste` on every key that carries its symbol, in every state of NumLock, CapsLock
    // and ScrollLock. Empty when it is held; else why not, one line (another program holds it,
    // no X11 connection). Grabbed again whenever the keyboard layout changes.
    QString greifen(const GlobaleTaste &taste);

signals:
    // The key went down (its repeats while it is held do not count).
    void gedrueckt();

protected:
    bool nativeEventFilter(const QByteArray &art, void *nachricht, qintptr *) override;

private:
    QString griffAnlegen();
    void loslassen();

    GlobaleTaste m_taste;
    bool m_aktiv = false;
    QList<std::uint8_t> m_tasten;   // key codes grabbed
    QList<std::uint16_t> m_sperren; // lock modifier combinations grabbed with them
    std::uint16_t m_sperrBits = 0;  // all lock modifier bits, left out when a press is compared
    std::uint8_t m_xkbEreignis = 0; // first event number of the XKEYBOARD extension, 0 without
    bool m_unten = false;
    std::uint32_t m_losgelassenUm = 0; // time of the last release, to tell auto-repeat apart
};
