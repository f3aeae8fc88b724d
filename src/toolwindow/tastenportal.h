// The global key in a Wayland session: one shortcut "Bildschirm einfrieren" bound through the
// desktop portal's GlobalShortcuts, where the desktop offers it (KDE Plasma 5.27 and later,
// for instance). Where it does not, nothing happens; the desktop action and
// `skizzomat --toggle` remain.
#pragma once

#include "toolwindow/globaletaste.h"

#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

class QDBusMessage;

class TastenPortal : public QObject
{
    Q_OBJECT

public:
    // Starts binding at once, on the session bus; the desktop may ask the user first.
    explicit TastenPortal(const GlobaleTaste &taste, QObject *parent = nullptr);

signals:
    // The shortcut was pressed.
    void ausgeloest();

private slots:
    void Response(uint code, const QVariantMap &ergebnis);
    void Activated(const QDBusObjectPath &sitzung, const QString &id, qulonglong zeit,
                   const QVariantMap &werte);

private:
    enum Schritt { SitzungAnlegen, Binden, Gebunden };
    // Calls `ruf` as a request of the portal: its answer comes in Response.
    void anfragen(QDBusMessage ruf, const QString &token);
    void binden();
    void scheitern(const QString &warum);

    GlobaleTaste m_taste;
    Schritt m_schritt = SitzungAnlegen;
    QString m_anfrage; // path of the request whose answer is awaited
    QString m_sitzung;
};
