#include "app/data.h"

Settings Cfg;

// Captions and hints are the program's own texts and must stay as they are.
const std::array<ToolModeInfo, 15> ToolModes{{
    {1, "StiftBtn", "Zeichenstift", "Stift1", "Stift"},
    {2, "SchwammBtn", "Radiergummi", "Radiergummi1", "Radiergummi"},
    {3, "LinieBtn", "Linie", "Linie1", "Linie"},
    {4, "RechteckBtn", "Rechteck", "Rechteck1", "Rechteck"},
    {5, "PfeilBtn", "Pfeil", "Pfeil1", "Pfeil"},
    {6, "TextBtn", "Text", "Text1", "Text"},
    {7, "HaekchenBtn", "Häkchen", "Haekchen1", "Häkchen"},
    {8, "KreuzBtn", "Kreuz", "Kreuz1", "Kreuz"},
    {9, "DoppelpfeilBtn", "Doppelpfeil", "DoppelPfeil1", "Doppelpfeil"},
    {10, "EllipseBtn", "Ellipse", "Ellipse1", "Ellipse"},
    {11, "RechteckGefuelltBtn", "gefülltes Rechteck", "RechteckGefuellt1", "Gefülltes Rechteck"},
    {12, "EllipseGefuelltBtn", "gefüllte Ellipse", "EllipseGefuellt1", "Gefüllte Ellipse"},
    {13, "BereichBtn", "Bereich auswählen für Drucken, Speichern, Zwischenablage", "Bereich1",
     "Bereich auswählen"},
    {14, "LupeBtn", "Lupe", "Lupe1", "Lupe"},
    {15, "ZoomInBtn", "Zoomansicht hineinzoomen", "Zoom1", "Zoomansicht"},
}};

const std::array<ColourCodeInfo, 10> ColourCodes{{
    {1, "MarkCol1Btn", "transparentes rot", "MarkCol1", "Transparentes rot", Palette::Rot, pmMask},
    {2, "MarkCol2Btn", "transparentes gelb", "MarkCol2", "Transparentes gelb", Palette::Gelb, pmMask},
    {3, "MarkCol3Btn", "transparentes grün", "MarkCol3", "Transparentes grün", Palette::Gruen, pmMask},
    {4, "MarkCol4Btn", "transparentes blau", "MarkCol4", "Transparentes blau", Palette::Blau, pmMask},
    {11, "DeckCol1Btn", "deckendes rot", "DeckCol1", "Deckendes rot", Palette::Rot, pmCopy},
    {12, "DeckCol2Btn", "deckendes gelb", "DeckCol2", "Deckendes gelb", Palette::Gelb, pmCopy},
    {13, "DeckCol3Btn", "deckendes grün", "DeckCol3", "Deckendes grün", Palette::Gruen, pmCopy},
    {14, "DeckCol4Btn", "deckendes blau", "DeckCol4", "Deckendes blau", Palette::Blau, pmCopy},
    {15, "DeckCol5Btn", "deckendes weiß", "DeckCol5", "Deckendes weiß", Palette::Weiss, pmCopy},
    {16, "DeckCol6Btn", "deckendes schwarz", "DeckCol6", "Deckendes schwarz", Palette::Schwarz, pmCopy},
}};

bool AuswahlbereichAktiv(const TRect &r)
{
    return r.Left >= 0 && r.Top >= 0 && r.Right >= 2 && r.Bottom >= 0;
}

const ToolModeInfo *toolModeInfo(int code)
{
    for (const auto &m : ToolModes)
        if (m.Code == code)
            return &m;
    return nullptr;
}

const ColourCodeInfo *colourCodeInfo(int code)
{
    for (const auto &c : ColourCodes)
        if (c.Code == code)
            return &c;
    return nullptr;
}
