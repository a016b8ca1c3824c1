// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/IconEdit.h"

#include "media/ImgFile.h"
#include "platform/ErrorGuard.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
class Surface : public QWidget {
public:
    explicit Surface(TIconEdit *editor, QWidget *parent)
        : QWidget(parent), m_editor(editor)
    {
        setCursor(Qt::CrossCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override { m_editor->PBPaint(this); }
    void mousePressEvent(QMouseEvent *e) override { m_editor->paintAt(e->position().toPoint(), e->buttons()); }
    void mouseMoveEvent(QMouseEvent *e) override { m_editor->paintAt(e->position().toPoint(), e->buttons()); }

private:
    TIconEdit *m_editor;
};

class Preview : public QWidget {
public:
    explicit Preview(TIconEdit *editor, QWidget *parent)
        : QWidget(parent), m_editor(editor)
    {
        setFixedSize(48, 60);
    }

protected:
    void paintEvent(QPaintEvent *) override { m_editor->paintPreview(this); }

private:
    TIconEdit *m_editor;
};

const int CustomRole = Qt::UserRole + 1;

// Standard colours, the extended ones, then "Custom..." which asks for any colour.
QComboBox *colourPicker(const QColor &initial, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    const std::pair<const char *, QColor> colours[] = {
        {QT_TRANSLATE_NOOP("TIconEdit", "Black"), QColor(0, 0, 0)},         {QT_TRANSLATE_NOOP("TIconEdit", "Maroon"), QColor(128, 0, 0)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Green"), QColor(0, 128, 0)},       {QT_TRANSLATE_NOOP("TIconEdit", "Olive"), QColor(128, 128, 0)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Navy"), QColor(0, 0, 128)},        {QT_TRANSLATE_NOOP("TIconEdit", "Purple"), QColor(128, 0, 128)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Teal"), QColor(0, 128, 128)},      {QT_TRANSLATE_NOOP("TIconEdit", "Gray"), QColor(128, 128, 128)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Silver"), QColor(192, 192, 192)},  {QT_TRANSLATE_NOOP("TIconEdit", "Red"), QColor(255, 0, 0)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Lime"), QColor(0, 255, 0)},        {QT_TRANSLATE_NOOP("TIconEdit", "Yellow"), QColor(255, 255, 0)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Blue"), QColor(0, 0, 255)},        {QT_TRANSLATE_NOOP("TIconEdit", "Fuchsia"), QColor(255, 0, 255)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Aqua"), QColor(0, 255, 255)},      {QT_TRANSLATE_NOOP("TIconEdit", "White"), QColor(255, 255, 255)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Money Green"), QColor(192, 220, 192)}, {QT_TRANSLATE_NOOP("TIconEdit", "Sky Blue"), QColor(166, 202, 240)},
        {QT_TRANSLATE_NOOP("TIconEdit", "Cream"), QColor(255, 251, 240)},   {QT_TRANSLATE_NOOP("TIconEdit", "Medium Gray"), QColor(160, 160, 164)},
    };
    for (const auto &[name, colour] : colours) {
        QPixmap swatch(14, 14);
        swatch.fill(colour);
        box->addItem(QIcon(swatch), TIconEdit::tr(name), colour);
    }
    box->addItem(TIconEdit::tr("Custom..."));
    box->setItemData(box->count() - 1, true, CustomRole);
    QObject::connect(box, &QComboBox::activated, box, [box](int index) {
        if (!box->itemData(index, CustomRole).toBool()) {
            box->setProperty("lastIndex", index);
            return;
        }
        const QColor c = QColorDialog::getColor(box->itemData(index).value<QColor>(), box->window());
        if (!c.isValid()) {   // cancelled: back to the colour chosen before
            box->setCurrentIndex(box->property("lastIndex").toInt());
            return;
        }
        box->setProperty("lastIndex", index);
        box->setItemData(index, c);
        QPixmap swatch(14, 14);
        swatch.fill(c);
        box->setItemIcon(index, QIcon(swatch));
    });
    box->setCurrentIndex(box->findData(initial));
    box->setProperty("lastIndex", box->currentIndex());
    return box;
}

QColor pickerColour(const QComboBox *box)
{
    const QVariant v = box->currentData();
    return v.isValid() ? v.value<QColor>() : QColor(Qt::white);
}

void setPickerColour(QComboBox *box, const QColor &c)
{
    int i = box->findData(c);
    if (i < 0) {   // any other colour goes into the custom entry
        i = box->count() - 1;
        box->setItemData(i, c);
        QPixmap swatch(14, 14);
        swatch.fill(c);
        box->setItemIcon(i, QIcon(swatch));
    }
    box->setCurrentIndex(i);
    box->setProperty("lastIndex", i);
}
} // namespace

TIconEdit::TIconEdit(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Icon"));
    auto *layout = new QVBoxLayout(this);
    m_panel = new QWidget(this);
    m_panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *panelLayout = new QVBoxLayout(m_panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    m_surface = new Surface(this, m_panel);
    panelLayout->addWidget(m_surface);
    layout->addWidget(m_panel, 1);

    auto *bottom = new QHBoxLayout;
    m_preview = new Preview(this, this);
    bottom->addWidget(m_preview);
    auto *pickers = new QVBoxLayout;
    m_left = colourPicker(Qt::white, this);
    m_right = colourPicker(Qt::black, this);
    m_left->setToolTip(tr("Left mouse button"));
    m_right->setToolTip(tr("Right mouse button"));
    pickers->addWidget(m_left);
    pickers->addWidget(m_right);
    bottom->addLayout(pickers);
    bottom->addStretch();
    auto *ok = new QPushButton(tr("OK"), this);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    auto *import = new QPushButton(tr("Import"), this);
    ok->setDefault(true);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    bottom->addWidget(import);
    layout->addLayout(bottom);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(import, &QPushButton::clicked, this, &TIconEdit::BitBtn3Click);

    QImage blank(22, 22, QImage::Format_RGB32);
    blank.fill(Qt::white);
    setImage(blank);
    resize(390, 460);
}

TIconEdit *TIconEdit::instance(QWidget *parent)
{
    static QPointer<TIconEdit> editor;
    if (!editor)
        editor = new TIconEdit(parent);
    return editor;
}

bool TIconEdit::edit(QImage &icon, QWidget *parent)
{
    TIconEdit *editor = instance(parent);
    editor->setImage(icon);
    if (editor->exec() != QDialog::Accepted)
        return false;
    icon = editor->image();
    return true;
}

void TIconEdit::setImage(const QImage &icon)
{
    m_original = icon;
    m_image = icon.isNull() ? QImage() : icon.convertToFormat(QImage::Format_RGB32);
    m_surface->update();
    m_preview->update();
}

QImage TIconEdit::image() const
{
    if (m_image.isNull() || m_original.colorCount() == 0)
        return m_image;
    // Back to the caller's colour table when every colour painted is in it.
    QList<QRgb> table = m_original.colorTable();
    for (QRgb &c : table)
        c |= 0xFF000000u;
    for (int y = 0; y < m_image.height(); ++y)
        for (int x = 0; x < m_image.width(); ++x)
            if (!table.contains(m_image.pixel(x, y)))
                return m_image;
    return m_image.convertToFormat(QImage::Format_Indexed8, table);
}

QColor TIconEdit::leftColor() const { return pickerColour(m_left); }
QColor TIconEdit::rightColor() const { return pickerColour(m_right); }
void TIconEdit::setLeftColor(const QColor &c) { setPickerColour(m_left, c); }
void TIconEdit::setRightColor(const QColor &c) { setPickerColour(m_right, c); }

int TIconEdit::zoom() const
{
    if (m_image.width() <= 0 || m_image.height() <= 0)
        return 0;
    const QRect client = m_panel->contentsRect();
    return std::min(client.height() / m_image.height(), client.width() / m_image.width());
}

QPoint TIconEdit::pixelAt(const QPoint &p) const
{
    // The same factor as the painting, so a click always lands in the cell it hits.
    const int z = zoom();
    if (z <= 0 || p.x() < 0 || p.y() < 0)
        return {-1, -1};
    const QPoint pixel(p.x() / z, p.y() / z);
    if (pixel.x() >= m_image.width() || pixel.y() >= m_image.height())
        return {-1, -1};
    return pixel;
}

void TIconEdit::paintAt(const QPoint &surfacePoint, Qt::MouseButtons buttons)
{
    const QPoint pixel = pixelAt(surfacePoint);
    if (pixel.x() < 0 || !(buttons & (Qt::LeftButton | Qt::RightButton)))
        return;
    if (buttons & Qt::LeftButton)
        m_image.setPixelColor(pixel, leftColor());
    if (buttons & Qt::RightButton)
        m_image.setPixelColor(pixel, rightColor());
    m_surface->update();
    m_preview->update();
}

void TIconEdit::PBPaint(QWidget *surface)
{
    QPainter p(surface);
    if (m_image.width() <= 0 || m_image.height() <= 0) {
        p.drawText(QRect(1, 1, surface->width(), surface->height()), Qt::AlignLeft | Qt::AlignTop, tr("Error"));
        return;
    }
    const int z = zoom();
    if (z <= 0)
        return;
    // Cells of z x z share their outlines: each rectangle spans z + 1 pixels.
    p.setPen(palette().color(QPalette::Button));
    for (int x = 0; x < m_image.width(); ++x)
        for (int y = 0; y < m_image.height(); ++y) {
            p.setBrush(QColor::fromRgb(m_image.pixel(x, y)));
            p.drawRect(z * x, z * y, z, z);
        }
}

void TIconEdit::paintPreview(QWidget *preview)
{
    if (m_image.isNull())
        return;
    QPainter p(preview);
    QSize s = m_image.size();
    if (s.width() > preview->width() || s.height() > preview->height())
        s.scale(preview->size(), Qt::KeepAspectRatio);
    p.drawImage(QRect(QPoint((preview->width() - s.width()) / 2, (preview->height() - s.height()) / 2), s), m_image);
}

void TIconEdit::BitBtn3Click()
{
    QStringList patterns;
    for (const QByteArray &f : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(f);
    const QString file = QFileDialog::getOpenFileName(this, tr("Import"), QString(),
                                                      tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))));
    if (!file.isEmpty())
        ErrorGuard::run(this, [&] { importFile(file); });
}

void TIconEdit::importFile(const QString &path)
{
    const ImgFile::Picture source = ImgFile::load(path);
    if (m_image.isNull())
        return;
    m_image = source.image.convertToFormat(QImage::Format_RGB32)
                  .scaled(m_image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_surface->update();
    m_preview->update();
}
