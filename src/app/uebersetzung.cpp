#include "app/uebersetzung.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

constexpr TextZiel text(const char *key, const char *ziel, const char *designed)
{
    return {key, ziel, designed, false};
}

constexpr TextZiel rahmen(const char *key, const char *ziel, const char *designed)
{
    return {key, ziel, designed, true};
}

// A translation file is a few kilobytes; anything this large is not one.
constexpr qint64 MaxDateiGroesse = 16 * 1024 * 1024;

QHash<QByteArray, QString> &texte()
{
    static QHash<QByteArray, QString> t = [] {
        QHash<QByteArray, QString> h;
        for (const TextZiel &z : TextZiele)
            h.insert(QByteArray(z.Ziel), QString::fromUtf8(z.Text));
        return h;
    }();
    return t;
}

bool blankOderSteuerzeichen(QChar c)
{
    return c.unicode() <= 0x20;
}

QString getrimmt(const QString &s)
{
    qsizetype anfang = 0;
    qsizetype ende = s.size();
    while (anfang < ende && blankOderSteuerzeichen(s[anfang]))
        ++anfang;
    while (ende > anfang && blankOderSteuerzeichen(s[ende - 1]))
        --ende;
    return s.sliced(anfang, ende - anfang);
}

} // namespace

const std::array<TextZiel, 141> TextZiele{{
    // Tool window: the Start/Fertig button and its menu item.
    text("btn_start", "StartCaptions0", "Start"),
    text("btn_fertig", "StartCaptions1", "Fertig"),
    text("btn_starthint", "StartHints0", "Bildschirm einfrieren und\r\nZeichenfunktionen aktivieren"),
    text("btn_fertighint", "StartHints1", "Zeichenfunktionen abschalten\r\nund Bildschirm wieder herstellen"),
    // Thickness: the menu items "&1" … "&4" keep their captions.
    text("btn_groesse", "Strichdicke1", "Strichdicke"),
    text("btn_groesse1", "Dicke1Btn", "Strichdicke 1"),
    text("btn_groesse2", "Dicke2Btn", "Strichdicke 2"),
    text("btn_groesse3", "Dicke3Btn", "Strichdicke 3"),
    text("btn_groesse4", "Dicke4Btn", "Strichdicke 4"),
    // Colours.
    text("btn_farbe", "Farbe1", "Farbe"),
    text("btn_transrot", "MarkCol1", "Transparentes rot"),
    text("btn_transrot", "MarkCol1Btn", "transparentes rot"),
    text("btn_transgelb", "MarkCol2", "Transparentes gelb"),
    text("btn_transgelb", "MarkCol2Btn", "transparentes gelb"),
    text("btn_transgruen", "MarkCol3", "Transparentes grün"),
    text("btn_transgruen", "MarkCol3Btn", "transparentes grün"),
    text("btn_transblau", "MarkCol4", "Transparentes blau"),
    text("btn_transblau", "MarkCol4Btn", "transparentes blau"),
    text("btn_deckrot", "DeckCol1", "Deckendes rot"),
    text("btn_deckrot", "DeckCol1Btn", "deckendes rot"),
    text("btn_deckgelb", "DeckCol2", "Deckendes gelb"),
    text("btn_deckgelb", "DeckCol2Btn", "deckendes gelb"),
    text("btn_deckgruen", "DeckCol3", "Deckendes grün"),
    text("btn_deckgruen", "DeckCol3Btn", "deckendes grün"),
    text("btn_deckblau", "DeckCol4", "Deckendes blau"),
    text("btn_deckblau", "DeckCol4Btn", "deckendes blau"),
    text("btn_deckweiss", "DeckCol5", "Deckendes weiß"),
    text("btn_deckweiss", "DeckCol5Btn", "deckendes weiß"),
    text("btn_deckschwarz", "DeckCol6", "Deckendes schwarz"),
    text("btn_deckschwarz", "DeckCol6Btn", "deckendes schwarz"),
    // Tools.
    text("btn_stift", "Stift1", "Stift"),
    text("btn_stift", "StiftBtn", "Zeichenstift"),
    text("btn_radiergummi", "Radiergummi1", "Radiergummi"),
    text("btn_radiergummi", "SchwammBtn", "Radiergummi"),
    text("btn_linie", "Linie1", "Linie"),
    text("btn_linie", "LinieBtn", "Linie"),
    text("btn_pfeil", "Pfeil1", "Pfeil"),
    text("btn_pfeil", "PfeilBtn", "Pfeil"),
    text("btn_doppelpfeil", "DoppelPfeil1", "Doppelpfeil"),
    text("btn_doppelpfeil", "DoppelpfeilBtn", "Doppelpfeil"),
    text("btn_rechteck", "Rechteck1", "Rechteck"),
    text("btn_rechteck", "RechteckBtn", "Rechteck"),
    text("btn_rechteckgefuellt", "RechteckGefuellt1", "Gefülltes Rechteck"),
    text("btn_rechteckgefuellt", "RechteckGefuelltBtn", "gefülltes Rechteck"),
    text("btn_ellipse", "Ellipse1", "Ellipse"),
    text("btn_ellipse", "EllipseBtn", "Ellipse"),
    text("btn_ellipsegefuellt", "EllipseGefuellt1", "Gefüllte Ellipse"),
    text("btn_ellipsegefuellt", "EllipseGefuelltBtn", "gefüllte Ellipse"),
    text("btn_text", "Text1", "Text"),
    text("btn_text", "TextBtn", "Text"),
    text("btn_haekchen", "Haekchen1", "Häkchen"),
    text("btn_haekchen", "HaekchenBtn", "Häkchen"),
    text("btn_kreuz", "Kreuz1", "Kreuz"),
    text("btn_kreuz", "KreuzBtn", "Kreuz"),
    text("btn_bereich", "Bereich1", "Bereich auswählen"),
    text("btn_bereich", "BereichBtn", "Bereich auswählen für Drucken, Speichern, Zwischenablage"),
    text("btn_bereichdlg", "Auswahlbereich1", "Auswahlbereich..."),
    text("btn_lupe", "Lupe1", "Lupe"),
    text("btn_lupe", "LupeBtn", "Lupe"),
    text("btn_zoomansicht", "Zoom1", "Zoomansicht"),
    text("btn_hineinzoomen", "Hineinzoomen1", "Hineinzoomen"),
    text("btn_hineinzoomen", "ZoomInBtn", "Zoomansicht hineinzoomen"),
    text("btn_herauszoomen", "Herauszoomen1", "Herauszoomen"),
    text("btn_herauszoomen", "ZoomOutBtn", "Zoomansicht herauszoomen"),
    // Commands.
    text("btn_rueckgaengig", "Rckgngig1", "Rückgängig"),
    text("btn_rueckgaengig", "RueckgaengigBtn", "Rückgängig"),
    text("btn_loeschen", "Alleslschen1", "Alles löschen"),
    text("btn_loeschen", "ClearBtn", "Alles löschen"),
    text("btn_blatt", "LeeresBlatt1", "Leeres Blatt"),
    text("btn_blatt", "BlattBtn", "Leeres Blatt"),
    text("btn_drucken", "Drucken1", "Drucken..."),
    text("btn_drucken", "DruckBtn", "Drucken"),
    text("btn_speichern", "Speichern1", "Speichern..."),
    text("btn_speichern", "SaveBtn", "Speichern"),
    text("btn_email", "AlsEMailversenden1", "Als E-Mail versenden..."),
    text("btn_email", "EmailBtn", "Als E-Mail versenden"),
    text("btn_zwischenablage", "IndieZwischenablage1", "In die Zwischenablage"),
    text("btn_zwischenablage", "ClipBtn", "In die Zwischenablage"),
    text("btn_info", "Info1", "Info / Einstellungen / Hilfe"),
    text("btn_info", "InfoBtn", "Info / Einstellungen / Hilfe"),
    // The sheet menu.
    text("btn_blattaktuell", "AktuellesBild", "Aktueller Bildschirm"),
    text("btn_blattweiss", "WeiesBlatt1", "Weißes Blatt"),
    text("btn_blattschwarz", "SchwarzesBlatt1", "Schwarzes Blatt"),
    text("btn_blattkariert", "KariertesBlatt1", "Kariert"),
    text("btn_blattpunktraster", "KleineKreuze1", "Punktraster"),
    text("btn_blattlinien", "LiniertesBlatt1", "Linien"),
    // The print dialog.
    text("druck_bildschirmdrucken", "TDruckForm", "Bildschirminhalt drucken"),
    rahmen("druck_positiongroesse", "TDruckForm.PosGroupBox", " Position und Größe "),
    text("druck_druckenbtn", "TDruckForm.DruckBtn", "Drucken"),
    text("druck_abbrechenbtn", "TDruckForm.AbbrBtn", "Abbrechen"),
    text("druck_einstellungenbtn", "TDruckForm.DrEinrBtn", "Einrichten..."),
    rahmen("druck_drucker", "TDruckForm.DruckerGroupBox", " Drucker "),
    text("druck_links", "TDruckForm.LiRandLab", "&Linker Rand:"),
    text("druck_oben", "TDruckForm.ObRandLab", "&Oberer Rand:"),
    text("druck_breite", "TDruckForm.BreiteLab", "&Breite:"),
    text("druck_hoehe", "TDruckForm.HoeheLab", "&Höhe:"),
    text("druck_seitenverhaeltnis", "TDruckForm.SeitRatio", "Korrektes &Seitenverhältnis"),
    // The save dialog.
    text("speichern_bildschirmspeichern", "SaveBMP", "Bildschirminhalt speichern"),
    text("speichern_filter", "SaveBMP.Filter",
         "PNG (*.png)|*.png|JPEG (*.jpg)|*.jpg|Bitmap (*.bmp)|*.bmp|Alle Dateien (*.*)|*.*"),
    // The info box.
    text("info_hilfebtn", "TInfoBox.HilfeBtn", "Online-Hilfe"),
    text("info_einstellungenbtn", "TInfoBox.EinstellBtn", "Einstellungen..."),
    text("info_schliessenbtn", "TInfoBox.OkBtn", "Schließen"),
    // The settings dialog.
    text("einstellungen_einstellungen", "TEinstellungenForm", "Einstellungen"),
    rahmen("einstellungen_mauszeiger", "TEinstellungenForm.GroupBox1", " Mauszeiger auf Zeichenfläche "),
    text("einstellungen_mauszeigernormal", "TEinstellungenForm.RadioMauszeiger1", " normal "),
    text("einstellungen_mauszeigeraus", "TEinstellungenForm.RadioMauszeiger2",
         " ausblenden (nur Werkzeugsymbol) "),
    rahmen("einstellungen_startende", "TEinstellungenForm.GroupBox2", " Programmstart und -ende "),
    text("einstellungen_autostart", "TEinstellungenForm.AutoOpenCheck",
         " Zeichenfunktionen sofort bei Programmstart öffnen "),
    text("einstellungen_autoende", "TEinstellungenForm.AutoCloseCheck",
         " Mit Klick auf 'Fertig' [F9] gesamtes Programm beenden "),
    rahmen("einstellungen_zoomansicht", "TEinstellungenForm.GroupBox3", " Zoomansicht "),
    text("einstellungen_mausradzoom", "TEinstellungenForm.MausradZoomCheck",
         " Mausrad zum hinein- und herauszoomen verwenden "),
    rahmen("einstellungen_autoscreenshot", "TEinstellungenForm.GroupBox4", " Auto-Screenshot "),
    text("einstellungen_autoscreenshotfertig", "TEinstellungenForm.AutoScreenshotCheck",
         " automatischen Screenshot bei Klick auf 'Fertig' [F9] erstellen "),
    rahmen("einstellungen_multimonitor", "TEinstellungenForm.GroupBox5",
           " Zeichenfläche bei mehreren Bildschirmen "),
    text("einstellungen_monitorstart", "TEinstellungenForm.RadioScreen0",
         " Bildschirm, in dem der Start-Knopf geklickt wird "),
    text("einstellungen_monitor1", "TEinstellungenForm.RadioScreen1", " immer erster Bildschirm "),
    text("einstellungen_monitor2", "TEinstellungenForm.RadioScreen2",
         " immer zweiter Bildschirm, sofern vorhanden "),
    rahmen("einstellungen_ordner", "TEinstellungenForm.GroupBox7", " Ordner "),
    text("einstellungen_screenshotordner", "TEinstellungenForm.ScreenshotOrdnerLab",
         "Ordner für Auto-Screenshots:"),
    text("einstellungen_emailordner", "TEinstellungenForm.EmailOrdnerLab",
         "Ordner für E-Mail-Zwischenspeicherung:"),
    rahmen("einstellungen_buttongroesse", "TEinstellungenForm.GroupBox6",
           " Größe der Werkzeugschaltflächen  "),
    text("einstellungen_buttonbreite", "TEinstellungenForm.ToolSizeXLab", "&Breite:"),
    text("einstellungen_buttonhoehe", "TEinstellungenForm.ToolSizeYLab", "&Höhe:"),
    text("einstellungen_okbtn", "TEinstellungenForm.OkBtn", "OK"),
    text("einstellungen_abbrechenbtn", "TEinstellungenForm.AbbrBtn", "Abbrechen"),
    // The selection dialog.
    text("auswahl_auswahlbereich", "TAuswahlForm", "Auswahlbereich"),
    rahmen("auswahl_positiongroesse", "TAuswahlForm.PosGroupBox", " Position und Größe "),
    text("auswahl_links", "TAuswahlForm.LinksLab", "&Links:"),
    text("auswahl_oben", "TAuswahlForm.ObenLab", "&Oben:"),
    text("auswahl_breite", "TAuswahlForm.BreiteLab", "&Breite:"),
    text("auswahl_hoehe", "TAuswahlForm.HoeheLab", "&Höhe:"),
    text("auswahl_okbtn", "TAuswahlForm.OkBtn", "OK"),
    text("auswahl_loeschenbtn", "TAuswahlForm.LoeschenBtn", "Auswahl löschen"),
    text("auswahl_abbrechenbtn", "TAuswahlForm.AbbrBtn", "Abbrechen"),
    // The save menu and the e-mail menu.
    text("menue_speichern_speichernunter", "Speichernunter1", "&Speichern unter..."),
    text("menue_speichern_pngscreenshot", "AlsPNGScreenshotSpeichern",
         "Als &PNG-Bild in Screenshot-Ordner ablegen"),
    text("menue_speichern_jpgscreenshot", "AlsJPGScreenshotSpeichern",
         "Als &JPG-Bild in Screenshot-Ordner ablegen"),
    text("menue_speichern_screenshotoeffnen", "ScreenshotOrdnerOeffnen1", "Screenshot-&Ordner öffnen"),
    text("menue_email_pngversenden", "EmailPNGMenuItem", "Als &PNG-Bild versenden..."),
    text("menue_email_jpgversenden", "EmailJPGMenuItem", "Als &JPG-Bild versenden..."),
    text("menue_email_emailscreenshotoeffnen", "EMailProgrammOeffnen1",
         "E-&Mail-Programm und Screenshot-Ordner öffnen..."),
}};

QString Oberflaechentext(const char *ziel)
{
    return texte().value(QByteArray(ziel));
}

QString UebersetzungLesen(const IniDatei &ini, const QString &key, const QString &current)
{
    return ini.wert(UebersetzungsAbschnitt, key, getrimmt(current));
}

void UebersetzungAnwenden(const IniDatei &ini)
{
    QHash<QByteArray, QString> &t = texte();
    for (const TextZiel &z : TextZiele) {
        QString &ziel = t[QByteArray(z.Ziel)];
        const QString wert = UebersetzungLesen(ini, QString::fromLatin1(z.Schluessel), ziel);
        ziel = z.Gerahmt ? QLatin1Char(' ') + wert + QLatin1Char(' ') : wert;
    }
}

bool UebersetzungEinlesen(const QString &exeDir)
{
    // Without a program folder there is no place to look.
    if (exeDir.isEmpty())
        return false;
    const QString pfad = exeDir + UebersetzungsDateiname;
    // Only a regular file: a pipe or a device of that name would never end.
    const QFileInfo info(pfad);
    if (!info.isFile() || info.size() > MaxDateiGroesse)
        return false;
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = datei.read(MaxDateiGroesse);
    datei.close();
    UebersetzungAnwenden(IniDatei::ausBytes(bytes));
    return true;
}

void OberflaechentexteZuruecksetzen()
{
    QHash<QByteArray, QString> &t = texte();
    for (const TextZiel &z : TextZiele)
        t.insert(QByteArray(z.Ziel), QString::fromUtf8(z.Text));
}

QStringList DateiFilter(const QString &text)
{
    const QStringList teile = text.split(QLatin1Char('|'));
    QStringList filter;
    for (qsizetype i = 0; i + 1 < teile.size(); i += 2) {
        const QString beschreibung = teile[i].trimmed();
        QStringList muster;
        for (const QString &m : teile[i + 1].split(QLatin1Char(';')))
            if (!m.trimmed().isEmpty())
                muster << m.trimmed();
        if (muster.isEmpty())
            continue;
        // The dialog takes the patterns from the parentheses at the end of the description.
        const QString klammer = QLatin1Char('(') + muster.join(QLatin1Char(' ')) + QLatin1Char(')');
        if (beschreibung.endsWith(klammer))
            filter << beschreibung;
        else if (beschreibung.isEmpty())
            filter << klammer;
        else
            filter << beschreibung + QLatin1Char(' ') + klammer;
    }
    return filter;
}
