// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QColor>
#include <QDialog>
#include <QImage>

class QComboBox;
class QWidget;

// The POI icon editor: a magnified pixel grid painted with one colour on each mouse
// button. Created once and reused; the caller hands it a copy of the icon and takes
// the edited picture back only when the dialog ends with OK.
class TIconEdit : public QDialog {
    Q_OBJECT
public:
    explicit TIconEdit(QWidget *parent = nullptr);

    // The one editor window, created on first use (again only after its parent has
    // destroyed it). The service menu's "TEST" shows it: instance(this)->show().
    static TIconEdit *instance(QWidget *parent = nullptr);
    // Shows the editor modally with `icon`; on OK replaces `icon` by the edited
    // picture and returns true, on Cancel leaves it alone.
    static bool edit(QImage &icon, QWidget *parent = nullptr);

    void setImage(const QImage &icon);
    // The edited icon, in the caller's pixel format when its colour table still holds
    // every colour, else 32 bits.
    QImage image() const;

    QColor leftColor() const;    // painted with the left button, initially white
    QColor rightColor() const;   // painted with the right button, initially black
    void setLeftColor(const QColor &c);
    void setRightColor(const QColor &c);

    // Cell size of the magnified grid: min(panel height / icon height, panel width /
    // icon width), 0 for an empty icon or a panel smaller than it.
    int zoom() const;
    // The icon pixel under a point of the drawing surface, or (-1, -1).
    QPoint pixelAt(const QPoint &surfacePoint) const;
    // Paints the pixel under `surfacePoint` as a mouse press or drag with `buttons` does.
    void paintAt(const QPoint &surfacePoint, Qt::MouseButtons buttons);

    QWidget *drawingPanel() const { return m_panel; }
    QWidget *drawingSurface() const { return m_surface; }

    // "Import": a picture stretched over the whole icon (its size stays).
    void BitBtn3Click();
    void importFile(const QString &path);   // throws KorvixError

    // Algorithm of the drawing surface's paint event, exposed for the surface widget.
    void PBPaint(QWidget *surface);
    void paintPreview(QWidget *preview);

private:
    QImage m_image;   // 32 bits while edited
    QImage m_original;
    QWidget *m_panel;
    QWidget *m_surface;
    QWidget *m_preview;
    QComboBox *m_left;
    QComboBox *m_right;
};
