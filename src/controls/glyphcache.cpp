#include "controls/glyphcache.h"

#include <QPainter>

#include <algorithm>

TGlyphCache *GlyphCache = nullptr;

TGlyphList::TGlyphList(int width, int height) : m_width(width), m_height(height) {}

int TGlyphList::takeCell()
{
    const auto frei = std::find(Used.begin(), Used.end(), false);
    const int index = int(frei - Used.begin());
    if (frei == Used.end()) {
        QImage leer(m_width, m_height, QImage::Format_ARGB32_Premultiplied);
        leer.fill(Qt::transparent);
        m_cells.append(leer);
        Used.resize(index + 1);
    }
    Used[index] = true;
    return index;
}

int TGlyphList::Add(const QImage &image, const QImage &mask)
{
    const int index = takeCell();
    QImage &zelle = m_cells[index];
    zelle.fill(Qt::transparent);
    {
        QPainter p(&zelle);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, image);
    }
    if (!mask.isNull()) {
        const int w = std::min(m_width, mask.width());
        const int h = std::min(m_height, mask.height());
        for (int y = 0; y < h; ++y) {
            auto *zeile = reinterpret_cast<QRgb *>(zelle.scanLine(y));
            for (int x = 0; x < w; ++x)
                if (qGray(mask.pixel(x, y)) >= 128)
                    zeile[x] = 0;
        }
    }
    ++FCount;
    return index;
}

int TGlyphList::AddMasked(const QImage &image, QRgb maskColor)
{
    QImage maske(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            maske.setPixel(x, y, image.pixel(x, y) == maskColor ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return Add(image, maske);
}

void TGlyphList::Delete(int index)
{
    if (index < 0 || index >= int(Used.size()) || !Used[index])
        return;
    Used[index] = false;
    --FCount;
}

void TGlyphList::Draw(QPainter &p, int index, QPoint at, QSize extent, bool blend, QColor blendColor) const
{
    if (index < 0 || index >= m_cells.size() || extent.isEmpty())
        return;
    QImage teil = m_cells[index].copy(QRect(QPoint(0, 0), extent).intersected(m_cells[index].rect()));
    if (blend) {
        teil.convertTo(QImage::Format_ARGB32);
        const int r = blendColor.red(), g = blendColor.green(), b = blendColor.blue();
        for (int y = 0; y < teil.height(); ++y) {
            auto *zeile = reinterpret_cast<QRgb *>(teil.scanLine(y));
            for (int x = 0; x < teil.width(); ++x) {
                const QRgb c = zeile[x];
                zeile[x] = qRgba((qRed(c) + r) / 2, (qGreen(c) + g) / 2, (qBlue(c) + b) / 2, qAlpha(c));
            }
        }
    }
    p.drawImage(at, teil);
}

TGlyphList *TGlyphCache::GetList(int width, int height)
{
    for (auto it = GlyphLists.rbegin(); it != GlyphLists.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height)
            return it->get();
    GlyphLists.push_back(std::make_unique<TGlyphList>(width, height));
    return GlyphLists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList *list)
{
    if (!list || list->Count() != 0)
        return;
    const auto it =
        std::find_if(GlyphLists.begin(), GlyphLists.end(), [list](const auto &l) { return l.get() == list; });
    if (it != GlyphLists.end())
        GlyphLists.erase(it);
}
