#include "ui/Icons.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QtMath>

#include <cmath>
#include <functional>
#include <initializer_list>

namespace {

// A fill and its darker outline.
struct Tone
{
    QRgb fill;
    QRgb line;
};

// One restrained palette; the outlines keep every shape apart from white, blue-grey and beige bars.
constexpr Tone kDbSide{0x5A8DC8, 0x2A5687};
constexpr QRgb kDbTop = 0xB2D0EE;
constexpr Tone kFolderBack{0xE3AF4A, 0x966A1D};
constexpr Tone kFolderFront{0xF8D57C, 0x966A1D};
constexpr Tone kPaper{0xFFFFFF, 0x66768A};
constexpr QRgb kPaperFold = 0xD9E1EA;
constexpr QRgb kPaperText = 0x9CAEC0;
constexpr Tone kDisk{0x4C76AA, 0x253F63};
constexpr Tone kShutter{0xDCE3EB, 0x253F63};
constexpr QRgb kDiskLabel = 0xFFFFFF;
constexpr Tone kGreen{0x4DA851, 0x29692D};
constexpr Tone kRed{0xDB4B3D, 0x962A20};
constexpr Tone kBlue{0x3F80C6, 0x21508A};
constexpr Tone kPencil{0xF3B63F, 0x98641A};
constexpr QRgb kPencilWood = 0xF6DDB4;
constexpr QRgb kPencilLead = 0x3E4650;
constexpr Tone kWhiteFolderBack{0xE3E8EE, 0x5B6877};
constexpr Tone kWhiteFolderFront{0xFFFFFF, 0x5B6877};
constexpr Tone kGreyFolderBack{0x9EA6AF, 0x5F6771};
constexpr Tone kGreyFolderFront{0xC2C8CE, 0x5F6771};
constexpr Tone kTable{0xFFFFFF, 0x56677A};
constexpr QRgb kTableHeader = 0x5B8FC9;
constexpr QRgb kTableRule = 0xBAC7D4;
constexpr Tone kTwig{0x8E5F33, 0x5A3918};
constexpr Tone kLeaf{0x62AE45, 0x336B22};

// Drawing on a square of `size` pixels laid out on a grid of `grid` units. Straight edges are
// given as cell boundaries and snapped so that a 1 px outline covers whole pixels at every size.
class Canvas
{
public:
    Canvas(QPainter &painter, int size, qreal grid, qreal lineWidth)
        : p(painter), px(size), s(size / grid), w(lineWidth)
    {
    }

    // Outline centre just inside the low (left, top) or high (right, bottom) boundary u.
    qreal lo(qreal u) const { return std::round(u * s) + w / 2; }
    qreal hi(qreal u) const { return std::round(u * s) - w / 2; }
    QRectF box(qreal x0, qreal y0, qreal x1, qreal y1) const
    {
        return QRectF(QPointF(lo(x0), lo(y0)), QPointF(hi(x1), hi(y1)));
    }
    // Centre of a band `fill` px wide along boundary u, placed so that its outlines are crisp.
    qreal mid(qreal u, qreal fill) const
    {
        const qreal offset = std::fmod((fill + 2 * w) / 2, 1.0);
        return std::round(u * s - offset) + offset;
    }
    // Free points and lengths, for slanted and curved lines.
    QPointF at(qreal x, qreal y) const { return QPointF(x * s, y * s); }
    qreal len(qreal u) const { return u * s; }
    // Corner radius of the rounded shapes.
    qreal radius() const { return std::max(1.0, s * 0.9); }

    void draw(const QPainterPath &path, QRgb fill, QRgb line) const
    {
        p.setPen(QPen(QColor(line), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(fill));
        p.drawPath(path);
    }
    void draw(const QPainterPath &path, Tone tone) const { draw(path, tone.fill, tone.line); }
    void line(const QPainterPath &path, QRgb colour, qreal width) const
    {
        p.setPen(QPen(QColor(colour), width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    // A badge drawn over a base shape gets a transparent gap around it, so the two never merge.
    void clearAround(const QPainterPath &badge) const
    {
        QPainterPathStroker stroker;
        stroker.setWidth(w + 2 * gap());
        stroker.setJoinStyle(Qt::RoundJoin);
        stroker.setCapStyle(Qt::RoundCap);
        const QPainterPath halo = stroker.createStroke(badge).united(badge);
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.fillPath(halo, Qt::black);
        p.restore();
    }
    qreal gap() const { return std::max(1.0, std::round(s * 0.6)); }

    // A line `width` px wide as an outlinable shape.
    QPainterPath band(const QPainterPath &centre, qreal width) const
    {
        QPainterPathStroker stroker;
        stroker.setWidth(width + w);
        stroker.setCapStyle(Qt::FlatCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        return stroker.createStroke(centre).simplified();
    }

    QPainter &p;
    const int px;
    const qreal s;
    const qreal w;
};

QPointF unit(QPointF v)
{
    const qreal length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF();
}

// A closed path through the points with every corner rounded.
QPainterPath roundedPolygon(const QList<QPointF> &points, qreal radius)
{
    QPainterPath path;
    const qsizetype n = points.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF prev = points[(i + n - 1) % n];
        const QPointF cur = points[i];
        const QPointF next = points[(i + 1) % n];
        const qreal inLength = std::hypot(prev.x() - cur.x(), prev.y() - cur.y());
        const qreal outLength = std::hypot(next.x() - cur.x(), next.y() - cur.y());
        const QPointF a = cur + unit(prev - cur) * std::min(radius, inLength / 2);
        const QPointF b = cur + unit(next - cur) * std::min(radius, outLength / 2);
        if (i == 0)
            path.moveTo(a);
        else
            path.lineTo(a);
        path.quadTo(cur, b);
    }
    path.closeSubpath();
    return path;
}

QPainterPath roundedRect(const Canvas &c, const QRectF &rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, c.radius(), c.radius());
    return path;
}

// An arrow along the centre line (px); the last point is the tip.
QPainterPath arrowShape(const Canvas &c, const QList<QPointF> &centre, qreal shaft, qreal headWidth,
                        qreal headLength)
{
    const QPointF tip = centre.last();
    const QPointF dir = unit(tip - centre[centre.size() - 2]);
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = tip - dir * headLength;
    QPainterPath line(centre.first());
    for (qsizetype i = 1; i + 1 < centre.size(); ++i)
        line.lineTo(centre[i]);
    line.lineTo(base + dir * (c.w / 2));
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(base + normal * (headWidth / 2));
    head.lineTo(base - normal * (headWidth / 2));
    head.closeSubpath();
    return c.band(line, shaft).united(head).simplified();
}

void drawCylinder(const Canvas &c, qreal x0, qreal y0, qreal x1, qreal y1, qreal cap)
{
    const qreal left = c.lo(x0);
    const qreal right = c.hi(x1);
    const qreal top = c.lo(y0);
    const qreal bottom = c.hi(y1);
    const qreal h = c.len(cap);
    const QRectF topCap(left, top, right - left, h);
    QPainterPath side;
    side.moveTo(left, top + h / 2);
    side.lineTo(left, bottom - h / 2);
    side.arcTo(QRectF(left, bottom - h, right - left, h), 180, 180);
    side.lineTo(right, top + h / 2);
    side.arcTo(topCap, 0, 180);
    side.closeSubpath();
    c.draw(side, kDbSide);
    // A ring halfway down reads as stacked records; on a small cylinder it would only blur.
    if (bottom - top >= 12) {
        const qreal middle = (top + h / 2 + bottom - h / 2) / 2;
        const QRectF ringRect(left, middle - h / 2, right - left, h);
        QPainterPath ring;
        ring.arcMoveTo(ringRect, 180);
        ring.arcTo(ringRect, 180, 180);
        c.line(ring, kDbSide.line, c.w);
    }
    QPainterPath lid;
    lid.addEllipse(topCap);
    c.draw(lid, kDbTop, kDbSide.line);
}

void drawFolderBack(const Canvas &c, qreal x0, qreal y0, qreal x1, qreal y1, Tone tone)
{
    const qreal tab = x0 + std::round((x1 - x0) * 0.42);
    c.draw(roundedPolygon({QPointF(c.lo(x0), c.lo(y0)), QPointF(c.hi(tab), c.lo(y0)),
                           QPointF(c.hi(tab + 2), c.lo(y0 + 2)), QPointF(c.hi(x1), c.lo(y0 + 2)),
                           QPointF(c.hi(x1), c.hi(y1)), QPointF(c.lo(x0), c.hi(y1))},
                          c.radius()),
           tone);
}

void drawClosedFolder(const Canvas &c, qreal x0, qreal y0, qreal x1, qreal y1, Tone back,
                      Tone front)
{
    drawFolderBack(c, x0, y0, x1, y1, back);
    c.draw(roundedRect(c, c.box(x0, y0 + 4, x1, y1)), front);
}

void drawOpenFolder(const Canvas &c, qreal x0, qreal y0, qreal x1, qreal y1, qreal flapTop)
{
    drawFolderBack(c, x0, y0, x1, y1, kFolderBack);
    c.draw(roundedPolygon({QPointF(c.lo(x0 + 2.5), c.lo(flapTop)),
                           QPointF(c.hi(x1 + 2), c.lo(flapTop)), QPointF(c.hi(x1), c.hi(y1)),
                           QPointF(c.lo(x0), c.hi(y1))},
                          c.radius()),
           kFolderFront);
}

void drawDocument(const Canvas &c, qreal x0, qreal y0, qreal x1, qreal y1, int lines)
{
    const qreal fold = std::max<qreal>(3, (x1 - x0) * 0.38);
    const qreal left = c.lo(x0);
    const qreal right = c.hi(x1);
    const qreal top = c.lo(y0);
    const qreal bottom = c.hi(y1);
    const qreal corner = c.hi(x1 - fold);
    const qreal foldBottom = c.lo(y0 + fold);
    c.draw(roundedPolygon({QPointF(left, top), QPointF(corner, top), QPointF(right, foldBottom),
                           QPointF(right, bottom), QPointF(left, bottom)},
                          c.radius() * 0.7),
           kPaper);
    QPainterPath dogEar;
    dogEar.moveTo(corner, top);
    dogEar.lineTo(corner, foldBottom);
    dogEar.lineTo(right, foldBottom);
    dogEar.closeSubpath();
    c.draw(dogEar, kPaperFold, kPaper.line);
    // Text lines, every other pixel row at 16 px.
    QPainterPath text;
    for (int i = 0; i < lines; ++i) {
        const qreal y = c.lo(y0 + fold + 2 + 2 * i);
        if (y > bottom - c.len(1.5))
            break;
        text.moveTo(c.lo(x0 + 2), y);
        text.lineTo(c.hi(i == 0 ? x1 - fold - 0.5 : x1 - 2) + c.w / 2, y);
    }
    c.line(text, kPaperText, c.w);
}

void drawDisk(const Canvas &c, qreal x0, qreal y0, qreal x1, qreal y1)
{
    const qreal size = x1 - x0;
    const qreal cut = size * 0.16;
    c.draw(roundedPolygon({QPointF(c.lo(x0), c.lo(y0)), QPointF(c.hi(x1 - cut), c.lo(y0)),
                           QPointF(c.hi(x1), c.lo(y0 + cut)), QPointF(c.hi(x1), c.hi(y1)),
                           QPointF(c.lo(x0), c.hi(y1))},
                          c.radius()),
           kDisk);
    // The metal shutter with its window, and the paper label.
    const qreal shutterLeft = x0 + std::round(size * 0.25);
    const qreal shutterRight = x1 - std::round(size * 0.25);
    const qreal shutterBottom = y0 + std::round(size * 0.36);
    c.draw(roundedRect(c, c.box(shutterLeft, y0, shutterRight, shutterBottom)), kShutter);
    const qreal slot = shutterRight - std::round((shutterRight - shutterLeft) * 0.42);
    c.p.fillRect(QRectF(QPointF(std::round(c.len(slot)), std::round(c.len(y0 + 1)) + c.w),
                        QPointF(std::round(c.len(slot + std::max<qreal>(1, size * 0.14))),
                                std::round(c.len(shutterBottom - 1)))),
                 QColor(kDisk.fill));
    // The label runs under the bottom edge, which is then drawn again over it.
    const qreal labelTop = y0 + std::round(size * 0.55);
    c.draw(roundedRect(c, c.box(x0 + 2, labelTop, x1 - 2, y1 + 1)), kDiskLabel, kDisk.line);
    c.p.fillRect(QRectF(c.lo(x0), c.hi(y1), c.hi(x1) - c.lo(x0), c.w), QColor(kDisk.line));
}

QPainterPath checkShape(const Canvas &c, qreal x0, qreal y0, qreal x1, qreal y1)
{
    QPainterPath centre(c.at(x0 + 0.6, y0 + (y1 - y0) * 0.55));
    centre.lineTo(c.at(x0 + (x1 - x0) * 0.38, y1 - 1.2));
    centre.lineTo(c.at(x1 - 0.6, y0 + 1));
    return c.band(centre, c.len(2));
}

// The sharpened cone is a little longer than the pencil is wide.
constexpr qreal kPencilCone = 1.1;

void drawPencil(const Canvas &c, QPointF tip, qreal length, qreal width, qreal angle)
{
    const qreal cone = width * kPencilCone;
    const qreal lead = cone * 0.38;
    c.p.save();
    c.p.translate(tip);
    c.p.rotate(angle);
    QPainterPath wood;
    wood.moveTo(0, 0);
    wood.lineTo(cone, -width / 2);
    wood.lineTo(cone, width / 2);
    wood.closeSubpath();
    c.draw(wood, kPencilWood, kPencil.line);
    c.draw(roundedPolygon({QPointF(cone, -width / 2), QPointF(length, -width / 2),
                           QPointF(length, width / 2), QPointF(cone, width / 2)},
                          c.radius() * 0.6),
           kPencil);
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(lead, -width / 2 * lead / cone);
    point.lineTo(lead, width / 2 * lead / cone);
    point.closeSubpath();
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(QColor(kPencilLead));
    c.p.drawPath(point);
    c.p.restore();
}

QPainterPath pencilOutline(QPointF tip, qreal length, qreal width, qreal angle)
{
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(width * kPencilCone, -width / 2);
    path.lineTo(length, -width / 2);
    path.lineTo(length, width / 2);
    path.lineTo(width * kPencilCone, width / 2);
    path.closeSubpath();
    QTransform t;
    t.translate(tip.x(), tip.y());
    t.rotate(angle);
    return t.map(path);
}

// --- The command icons, laid out on a 16-unit grid ---

void paintOpenDatabase(const Canvas &c)
{
    drawOpenFolder(c, 0, 2, 13, 14, 7);
    const QRectF cylinderBounds(c.lo(9), c.lo(7), c.hi(16) - c.lo(9), c.hi(16) - c.lo(7));
    QPainterPath halo;
    halo.addRoundedRect(cylinderBounds, c.len(3), c.len(1.5));
    c.clearAround(halo);
    drawCylinder(c, 9, 7, 16, 16, 3);
}

void paintCloseDatabase(const Canvas &c)
{
    drawCylinder(c, 1, 1, 12, 15, 4);
    // An odd number of pixels across puts the cross on pixel centres.
    const int d = int(std::round(c.len(8.5))) | 1;
    const QRectF badge(c.px - d + c.w / 2, c.px - d + c.w / 2, d - c.w, d - c.w);
    QPainterPath circle;
    circle.addEllipse(badge);
    c.clearAround(circle);
    c.draw(circle, kRed);
    const QPointF centre = badge.center();
    const qreal arm = std::floor(d * 0.2) + 0.5;
    QPainterPath cross;
    cross.moveTo(centre + QPointF(-arm, -arm));
    cross.lineTo(centre + QPointF(arm, arm));
    cross.moveTo(centre + QPointF(arm, -arm));
    cross.lineTo(centre + QPointF(-arm, arm));
    c.p.setPen(QPen(Qt::white, std::max(1.2, c.len(1.2)), Qt::SolidLine, Qt::RoundCap));
    c.p.drawPath(cross);
}

void paintSaveAs(const Canvas &c)
{
    drawDisk(c, 0, 0, 14, 14);
    const QPointF tip = c.at(8.2, 15.3);
    const qreal length = c.len(10);
    const qreal width = c.len(3.4);
    const qreal angle = -45;
    c.clearAround(pencilOutline(tip, length, width, angle));
    drawPencil(c, tip, length, width, angle);
}

void paintSaveChanges(const Canvas &c)
{
    drawDisk(c, 0, 0, 14, 14);
    const QPainterPath check = checkShape(c, 7.5, 8, 16, 15.5);
    c.clearAround(check);
    c.draw(check, kGreen);
}

void paintImport(const Canvas &c)
{
    drawDocument(c, 0, 0, 9, 13, 4);
    const qreal shaft = std::round(c.len(2));
    const qreal y = c.mid(4, shaft);
    const qreal x = c.mid(12, shaft);
    const qreal head = std::round(c.len(3));
    const QPainterPath arrow =
        arrowShape(c, {QPointF(c.len(6), y), QPointF(x, y), QPointF(x, c.lo(7) + head)}, shaft,
                   std::round(c.len(6)) - c.w, head);
    QPainterPath cylinderHalo;
    cylinderHalo.addRoundedRect(c.box(7, 9, 16, 16), c.len(3), c.len(1.5));
    c.clearAround(cylinderHalo);
    drawCylinder(c, 7, 9, 16, 16, 3);
    c.clearAround(arrow);
    c.draw(arrow, kGreen);
}

void paintExport(const Canvas &c)
{
    drawCylinder(c, 0, 0, 9, 10, 3);
    const qreal shaft = std::round(c.len(2));
    const qreal y = c.mid(4, shaft);
    const qreal x = c.mid(12, shaft);
    const qreal head = std::round(c.len(3));
    const QPainterPath arrow =
        arrowShape(c, {QPointF(c.len(8), y), QPointF(x, y), QPointF(x, c.lo(7) + head)}, shaft,
                   std::round(c.len(6)) - c.w, head);
    QPainterPath documentHalo;
    documentHalo.addRect(c.box(7, 7, 16, 16));
    c.clearAround(documentHalo);
    drawDocument(c, 7, 7, 16, 16, 3);
    c.clearAround(arrow);
    c.draw(arrow, kGreen);
}

void paintDiscardChanges(const Canvas &c)
{
    // Counter-clockwise round a centre, from the lower right to the left side.
    const QPointF centre = c.at(8.5, 9);
    const qreal r = c.len(5);
    const qreal startAngle = -55;
    const qreal endAngle = 180;
    const QRectF circle(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    QPainterPath arc;
    arc.arcMoveTo(circle, startAngle);
    arc.arcTo(circle, startAngle, endAngle - startAngle);
    const qreal t = qDegreesToRadians(endAngle);
    const QPointF end(centre.x() + r * std::cos(t), centre.y() - r * std::sin(t));
    const QPointF dir(-std::sin(t), -std::cos(t));
    const qreal headLength = c.len(4);
    const QPointF tip = end + dir * (headLength * 0.65);
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = tip - dir * headLength;
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(base + normal * c.len(3));
    head.lineTo(base - normal * c.len(3));
    head.closeSubpath();
    c.draw(c.band(arc, c.len(2.2)).united(head).simplified(), kBlue);
}

void paintFolder(const Canvas &c, bool grey)
{
    drawClosedFolder(c, 1, 2, 15, 14, grey ? kGreyFolderBack : kWhiteFolderBack,
                     grey ? kGreyFolderFront : kWhiteFolderFront);
}

// A stroke along the centre line that narrows from `startWidth` to a rounded `endWidth` (px).
QPainterPath taperedStroke(const QPainterPath &centre, qreal startWidth, qreal endWidth)
{
    constexpr int steps = 32;
    QList<QPointF> left;
    QList<QPointF> right;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps;
        const qreal angle = qDegreesToRadians(centre.angleAtPercent(t));
        const QPointF normal(-std::sin(angle), -std::cos(angle));
        const qreal half = (startWidth + (endWidth - startWidth) * t) / 2;
        left << centre.pointAtPercent(t) + normal * half;
        right << centre.pointAtPercent(t) - normal * half;
    }
    QPainterPath path(left.first());
    for (const QPointF &point : left)
        path.lineTo(point);
    for (auto it = right.crbegin(); it != right.crend(); ++it)
        path.lineTo(*it);
    path.closeSubpath();
    QPainterPath tip;
    tip.addEllipse(centre.pointAtPercent(1), endWidth / 2, endWidth / 2);
    return path.united(tip).simplified();
}

// A pointed leaf from its stalk end to its tip; `fullness` is its width against its length.
QPainterPath leafShape(QPointF base, QPointF tip, qreal fullness)
{
    const QPointF axis = tip - base;
    const QPointF normal = QPointF(-axis.y(), axis.x()) * fullness;
    QPainterPath path(base);
    path.cubicTo(base + axis * 0.25 + normal, tip - axis * 0.3 + normal * 0.8, tip);
    path.cubicTo(tip - axis * 0.3 - normal * 0.8, base + axis * 0.25 - normal, base);
    path.closeSubpath();
    return path;
}

// The program: a twig laid over a small table, on a 32-unit grid. At 16 px a simpler one on 16
// units, since a side shoot and extra rules would only blur there.
void paintApplication(const Canvas &c, bool detailed)
{
    const qreal g = detailed ? 1 : 0.5;
    auto at = [&](qreal x, qreal y) { return c.at(x * g, y * g); };

    // The table, lower right, with a coloured header row.
    // Small icons get a bigger table: at 16 px its rules must stay apart.
    const QRectF table = detailed ? c.box(11, 13, 32, 31) : c.box(4.5, 6, 16, 15);
    c.draw(roundedRect(c, table), kTable);
    const qreal headerLine = detailed ? c.lo(19) : c.lo(9);
    QPainterPath header;
    header.addRoundedRect(table, c.radius(), c.radius());
    QPainterPath headerArea;
    headerArea.addRect(QRectF(0, 0, c.px, headerLine));
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(QColor(kTableHeader));
    c.p.drawPath(header.intersected(headerArea));
    QPainterPath grid;
    const QList<qreal> columns = detailed ? QList<qreal>{18, 25} : QList<qreal>{20};
    const QList<qreal> rows = detailed ? QList<qreal>{23, 27} : QList<qreal>{24};
    for (qreal x : columns) {
        grid.moveTo(c.lo(x * g), headerLine + c.w / 2);
        grid.lineTo(c.lo(x * g), table.bottom() - c.w / 2);
    }
    for (qreal y : rows) {
        grid.moveTo(table.left() + c.w / 2, c.lo(y * g));
        grid.lineTo(table.right() - c.w / 2, c.lo(y * g));
    }
    c.line(grid, kTableRule, c.w);
    QPainterPath rule;
    rule.moveTo(table.left(), headerLine);
    rule.lineTo(table.right(), headerLine);
    c.line(rule, kTable.line, c.w);
    c.p.setPen(QPen(QColor(kTable.line), c.w));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawPath(header);

    // The twig rises from the lower left over the table's corner; one side shoot, a few leaves.
    QPainterPath stem(at(2, 30));
    stem.cubicTo(at(7, 22), at(12, 12), at(26, 4));
    QPainterPath shoot(at(7.8, 20.5));
    shoot.cubicTo(at(7, 15), at(8, 10), at(11.5, 6));
    QPainterPath wood =
        taperedStroke(stem, c.len(detailed ? 3.6 : 2.4), c.len(detailed ? 1.4 : 1.1));
    if (detailed)
        wood = wood.united(taperedStroke(shoot, c.len(2.2), c.len(1.1))).simplified();

    QList<QPainterPath> leaves;
    QList<QLineF> veins;
    auto addLeaf = [&](QPointF base, QPointF tip, qreal fullness) {
        leaves << leafShape(at(base.x(), base.y()), at(tip.x(), tip.y()), fullness);
        veins << QLineF(at(base.x(), base.y()), at(tip.x(), tip.y()));
    };
    if (detailed) {
        addLeaf({26, 4}, {31, 2}, 0.32);
        addLeaf({19, 8}, {24, 12.5}, 0.32);
        addLeaf({16, 10}, {16, 3}, 0.32);
        addLeaf({11.5, 6}, {9, 1}, 0.32);
        addLeaf({8.2, 17}, {2.5, 14.5}, 0.32);
    } else {
        addLeaf({25, 4.5}, {31.5, 1.5}, 0.36);
        addLeaf({13, 12}, {9, 2}, 0.36);
        addLeaf({6, 22}, {1, 18}, 0.36);
    }
    QPainterPath twig = wood;
    for (const QPainterPath &leaf : leaves)
        twig = twig.united(leaf);
    c.clearAround(twig);
    c.draw(wood, kTwig);
    for (qsizetype i = 0; i < leaves.size(); ++i) {
        c.draw(leaves[i], kLeaf);
        if (c.px >= 48) {
            const QLineF vein = veins[i];
            c.p.setPen(QPen(QColor(kLeaf.line), c.w * 0.8, Qt::SolidLine, Qt::RoundCap));
            c.p.drawLine(vein.pointAt(0.15), vein.pointAt(0.75));
        }
    }
}

QPixmap render(int size, qreal grid, qreal lineWidth,
               const std::function<void(const Canvas &)> &paint)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(Canvas(painter, size, grid, lineWidth));
    painter.end();
    return QPixmap::fromImage(image);
}

QIcon toolIcon(const std::function<void(const Canvas &)> &paint)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(render(size, 16, size >= 48 ? 2 : 1, paint));
    return icon;
}

QIcon applicationIcon(std::initializer_list<int> sizes)
{
    QIcon icon;
    for (int size : sizes) {
        const bool detailed = size >= 24;
        const qreal lineWidth = std::max(1.0, std::round(size / 40.0));
        icon.addPixmap(render(size, detailed ? 32 : 16, lineWidth,
                              [detailed](const Canvas &c) { paintApplication(c, detailed); }));
    }
    return icon;
}

} // namespace

namespace Icons {

QIcon forCommand(int commandId)
{
    // The menu items are numbered 1000 below their toolbar twins.
    const int toolbarId = commandId < 1000 ? commandId + 1000 : commandId;
    switch (toolbarId) {
    case 1101:
        return toolIcon(paintOpenDatabase);
    case 1102:
        return toolIcon(paintSaveAs);
    case 1103:
        return toolIcon(paintCloseDatabase);
    case 1104:
        return toolIcon(paintImport);
    case 1105:
        return toolIcon(paintExport);
    case 1955:
        return toolIcon(paintSaveChanges);
    case 1956:
        return toolIcon(paintDiscardChanges);
    default:
        return QIcon();
    }
}

QIcon folder(bool grey)
{
    return toolIcon([grey](const Canvas &c) { paintFolder(c, grey); });
}

QIcon application()
{
    return applicationIcon({16, 24, 32, 48, 64});
}

QIcon applicationLarge()
{
    return applicationIcon({64, 128});
}

} // namespace Icons
