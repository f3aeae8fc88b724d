// The prepared pictures of the push buttons live in image lists whose cells all have one size;
// buttons of the same size share one list, kept in one cache for the whole process.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>

#include <memory>
#include <vector>

class QPainter;

class TGlyphList
{
public:
    TGlyphList(int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Cells taken.
    int Count() const { return FCount; }
    // Cells in the list, taken or free: a freed cell stays and is taken again first.
    int Capacity() const { return int(m_cells.size()); }

    // Puts the image into a free cell (at its top-left corner; cut off where it is larger) and
    // returns the cell's index. Where the mask is white the cell stays clear.
    int Add(const QImage &image, const QImage &mask = QImage());
    // The same with a mask made of the pixels that have the given colour.
    int AddMasked(const QImage &image, QRgb maskColor);
    // Frees the cell; the index may be handed out again.
    void Delete(int index);

    // Draws the top-left part of the given size of a cell at a position, normally or blended
    // half with a colour.
    void Draw(QPainter &p, int index, QPoint at, QSize extent, bool blend, QColor blendColor) const;

private:
    int takeCell();

    int m_width;
    int m_height;
    QList<QImage> m_cells;
    std::vector<bool> Used;
    int FCount = 0;
};

class TGlyphCache
{
public:
    // The list with cells of w × h, made if there is none yet.
    TGlyphList *GetList(int width, int height);
    // Destroys the list once no cell of it is taken.
    void ReturnList(TGlyphList *list);
    bool Empty() const { return GlyphLists.empty(); }
    int ListCount() const { return int(GlyphLists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> GlyphLists;
};

// Made with the first button picture, destroyed with the last one that leaves it empty.
extern TGlyphCache *GlyphCache;
