#include "output/email.h"

#include "output/ordner.h"

#include <QFile>

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

QString EmailAufraeumenText(qsizetype anzahl, const QString &ordner)
{
    return QString::number(anzahl) + QStringLiteral(" E-Mail-Screenshot(s) wurde(n) im Ordner ") + ordner +
           QStringLiteral(" als Bilddatei(en) abgelegt.") + Zeilenumbruch +
           QStringLiteral("Soll diese jetzt gelöscht werden?");
}

void EmailDateienLoeschen(const QStringList &dateien)
{
    for (const QString &d : dateien)
        QFile::remove(d);
}
