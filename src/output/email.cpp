#include "output/email.h"

#include "output/ordner.h"

#include <QDir>
#include <QSettings>

Ablage EmailAblegen(ToolState &t, const QImage &img1Bmp, int format, const QDateTime &jetzt)
{
    const QString ordner = EmailOrdner();
    if (!OrdnerBereit(ordner)) {
        Ablage a;
        a.Ok = false;
        a.Fehler = EmailVerzeichnisFehlerText(ordner);
        return a;
    }
    SetAuswahlBmp(t, img1Bmp);
    return AutoDateiSchreiben(t.AuswahlBmp, ordner, Cfg.EmailNr, format, jetzt);
}

QString EmailUebermitteltText()
{
    return QStringLiteral(
        "Die Nachricht wurde dem E-Mail-Programm erfolgreich übermittelt. Falls Ihr E-Mail-Programm "
        "Nachrichten nicht sofort versendet, sondern erst im Postausgang zwischenspeichert, müssen Sie den "
        "Versand in Ihrem E-Mail-Programm noch selbst auslösen.");
}

QString EmailAbgebrochenText()
{
    return QStringLiteral("Der E-Mail-Versand wurde abgebrochen oder es ist ein Fehler aufgetreten.");
}

QString EmailAufraeumenText(qsizetype anzahl, const QString &ordner, qsizetype behalten)
{
    QString text = QString::number(anzahl) + QStringLiteral(" E-Mail-Screenshot(s) wurde(n) im Ordner ") +
                   ordner + QStringLiteral(" als Bilddatei(en) abgelegt.") + Zeilenumbruch;
    if (behalten > 0)
        text += QString::number(behalten) +
                QStringLiteral(
                    " weitere(r) liest das E-Mail-Programm vielleicht noch; sie werden später angeboten.") +
                Zeilenumbruch;
    return text + QStringLiteral("Soll diese jetzt gelöscht werden?");
}

QString EmailListeDatei()
{
    QString ordner = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(ordner))
        ordner = QDir::homePath() + QStringLiteral("/.local/state");
    return ordner + QStringLiteral("/Quenderwerk/Skizzomat-Email.conf");
}

QList<EmailBild> EmailListeLesen()
{
    QSettings s(EmailListeDatei(), QSettings::IniFormat);
    QList<EmailBild> bilder;
    const int n = s.beginReadArray(QStringLiteral("Bilder"));
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        const EmailBild b{s.value(QStringLiteral("Datei")).toString(),
                          s.value(QStringLiteral("Uebergabe")).toLongLong()};
        if (!b.Datei.isEmpty())
            bilder.append(b);
    }
    s.endArray();
    return bilder;
}

void EmailListeSchreiben(const QList<EmailBild> &bilder)
{
    QSettings s(EmailListeDatei(), QSettings::IniFormat);
    s.remove(QStringLiteral("Bilder"));
    s.beginWriteArray(QStringLiteral("Bilder"), int(bilder.size()));
    for (int i = 0; i < bilder.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("Datei"), bilder.at(i).Datei);
        s.setValue(QStringLiteral("Uebergabe"), bilder.at(i).Uebergabe);
    }
    s.endArray();
}

void EmailVormerken(const EmailBild &bild)
{
    QList<EmailBild> bilder = EmailListeLesen();
    bilder.append(bild);
    EmailListeSchreiben(bilder);
}

void EmailVergessen(const QString &datei)
{
    QList<EmailBild> bilder = EmailListeLesen();
    bilder.removeIf([&datei](const EmailBild &b) { return b.Datei == datei; });
    EmailListeSchreiben(bilder);
}
