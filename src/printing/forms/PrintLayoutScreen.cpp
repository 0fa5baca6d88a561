#include "printing/forms/PrintLayoutScreen.h"

#include "app/Failure.h"
#include "app/forms/Controls.h"
#include "app/forms/DialogScale.h"
#include "app/forms/Style.h"
#include "platform/PdfFile.h"
#include "platform/PrintJobCheck.h"
#include "platform/TextFile.h"
#include "printing/forms/SheetPainter.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <optional>

namespace printing {

namespace style = app::style;

namespace {

const QString kMessageTitle = QStringLiteral("印刷");
const QString kDocumentName = QStringLiteral("四字熟語プリント");
const QString kAnswerKeyDocumentName = QStringLiteral("四字熟語プリント（解答）");

} // namespace

PrintLayoutScreen::PrintLayoutScreen(AppContext &context, const printing::PrintLayout &sheet,
                                     const printing::PrintLayout *answerKey, QWidget *parent)
    : QWidget(parent), m_context(context), m_sheet(sheet), m_answerKey(answerKey)
{
    setObjectName(QStringLiteral("frmPrint"));
    resize(1024, 768);
    style::background(this, QColor::fromRgb(style::kCanvas));

    m_picture1 = new QLabel(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setAccessibleName(QStringLiteral("印刷の見本"));
    style::picture(m_picture1);

    m_printer = app::controls::label(this, QStringLiteral("lblPrinter"), QString(), style::font(12), QRect());
    m_printer->setWordWrap(true);
    style::ink(m_printer);

    auto *choice = new QButtonGroup(this);
    m_optSheet = new QRadioButton(QStringLiteral("問題用紙"), this);
    m_optSheet->setObjectName(QStringLiteral("optSheet"));
    m_optSheet->setFont(style::font(14));
    m_optSheet->setChecked(true);
    m_optAnswerKey = new QRadioButton(QStringLiteral("答え合わせ用（空らんなし）"), this);
    m_optAnswerKey->setObjectName(QStringLiteral("optAnswerKey"));
    m_optAnswerKey->setFont(style::font(14));
    style::inheritColours(m_optSheet);
    style::inheritColours(m_optAnswerKey);
    choice->addButton(m_optSheet, 0);
    choice->addButton(m_optAnswerKey, 1);
    connect(choice, &QButtonGroup::idClicked, this, [this](int id) { showAnswerKey(id == 1); });
    m_optSheet->setVisible(m_answerKey != nullptr);
    m_optAnswerKey->setVisible(m_answerKey != nullptr);

    m_print = app::controls::button(this, QStringLiteral("Command9"), QStringLiteral("印刷"),
                                    style::font(24, true), QRect());
    style::accentButton(m_print, style::Size::Large);
    connect(m_print, &QPushButton::clicked, this, &PrintLayoutScreen::print);
    m_savePdf = app::controls::button(this, QStringLiteral("Command10"), QStringLiteral("PDFに保存"),
                                      style::font(16), QRect());
    style::plainButton(m_savePdf);
    connect(m_savePdf, &QPushButton::clicked, this, &PrintLayoutScreen::saveAsPdf);
    m_status = app::controls::label(this, QStringLiteral("lblStatus"), QString(), style::font(11), QRect());
    m_status->setWordWrap(true);
    style::ink(m_status);
    m_back = app::controls::button(this, QStringLiteral("Command8"), QStringLiteral("戻る"), style::font(18),
                                   QRect());
    style::plainButton(m_back);
    connect(m_back, &QPushButton::clicked, this, &PrintLayoutScreen::leave);

    m_picture4 = app::controls::frame(this, QStringLiteral("Picture4"), QRect());
    style::raisedPanel(m_picture4);
    m_label1 = app::controls::label(m_picture4, QStringLiteral("Label1"),
                                    QStringLiteral("印刷中　しばらくお待ちください"), style::font(20, true),
                                    QRect(0, 0, 460, 110), Qt::AlignCenter);
    m_picture4->hide();

    m_check1 = new QCheckBox(QStringLiteral("印刷"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->hide();
    m_check2 = new QCheckBox(QStringLiteral("縦横"), this);
    m_check2->setObjectName(QStringLiteral("Check2"));
    m_check2->hide();

    // Load: the printer's settings come from the layout when a printer is made (print()).
    m_check2->setChecked(m_sheet.settings.orientation == 1);
    if (m_sheet.settings.printAtOnce == 1) {
        m_back->hide();
        m_print->hide();
    }
    const QString printerName = QPrinterInfo::defaultPrinterName();
    m_printer->setText(
        printerName.isEmpty()
            ? QStringLiteral("プリンターが見つかりません。「PDFに保存」でPDFファイルにできます。")
            : QStringLiteral("プリンター：%1").arg(printerName));
    placeControls();
}

PrintLayoutScreen::~PrintLayoutScreen() = default;

void PrintLayoutScreen::placeControls()
{
    const QSize picture = printing::previewSize(m_sheet);
    if (m_sheet.settings.orientation == 1) {
        // Portrait: the page on the left, the controls beside it.
        m_picture1->setGeometry(40, (768 - picture.height()) / 2 - 1, picture.width() + 2,
                                picture.height() + 2);
        const int x = 600;
        const int w = 384;
        m_printer->setGeometry(x, 40, w, 56);
        m_optSheet->setGeometry(x, 120, w, 36);
        m_optAnswerKey->setGeometry(x, 160, w, 36);
        m_print->setGeometry(x, 236, w, 80);
        m_savePdf->setGeometry(x, 336, w, 52);
        m_status->setGeometry(x, 396, w, 120);
        m_back->setGeometry(x, 660, w, 64);
    } else {
        // Landscape: the page on top, the controls below it.
        m_picture1->setGeometry((1024 - picture.width()) / 2 - 1, 16, picture.width() + 2,
                                picture.height() + 2);
        const int y = 24 + picture.height();
        m_optSheet->setGeometry(24, y, 220, 32);
        m_optAnswerKey->setGeometry(24, y + 34, 300, 32);
        m_printer->setGeometry(330, y, 260, 40);
        m_status->setGeometry(330, y + 40, 260, 40);
        m_print->setGeometry(600, y, 130, 72);
        m_savePdf->setGeometry(740, y, 130, 72);
        m_back->setGeometry(880, y, 120, 72);
    }
    m_picture4->setGeometry(m_picture1->x() + (m_picture1->width() - 460) / 2,
                            m_picture1->y() + (m_picture1->height() - 110) / 2, 460, 110);
}

const printing::PrintLayout &PrintLayoutScreen::shownLayout() const
{
    return m_answerKeyShown && m_answerKey ? *m_answerKey : m_sheet;
}

void PrintLayoutScreen::drawPreview()
{
    // Drawn at the display's resolution when the screen is shown larger, so that the page stays sharp.
    const double ratio = std::max(1.0, app::dialogscale::displayScale(this));
    const printing::PrintLayout &layout = shownLayout();
    m_previewImage = printing::SheetPainter(layout).preview(printing::previewScale(layout) * ratio);
    m_previewImage.setDevicePixelRatio(ratio);
    m_picture1->setPixmap(QPixmap::fromImage(m_previewImage));
}

void PrintLayoutScreen::activate()
{
    if (m_sheet.settings.onScreen == 1) {
        m_picture1->hide();
        m_picture4->show();
        m_picture4->raise();
    } else {
        m_picture4->hide();
    }
    drawPreview();
    if (m_sheet.settings.printAtOnce == 1) {
        m_back->hide();
        m_print->hide();
        print();
        close();
    }
}

void PrintLayoutScreen::showAnswerKey(bool answerKey)
{
    if (m_busy || (answerKey && !m_answerKey))
        return;
    m_answerKeyShown = answerKey;
    (answerKey ? m_optAnswerKey : m_optSheet)->setChecked(true);
    m_status->clear();
    drawPreview();
}

void PrintLayoutScreen::setBusy(bool busy)
{
    m_busy = busy;
    m_print->setEnabled(!busy);
    m_savePdf->setEnabled(!busy);
    m_optSheet->setEnabled(!busy);
    m_optAnswerKey->setEnabled(!busy);
}

std::unique_ptr<QPrinter> PrintLayoutScreen::defaultPrinter()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (printers.isEmpty())
            return nullptr;
        info = printers.first();
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

void PrintLayoutScreen::print()
{
    if (m_busy)
        return;
    setBusy(true);
    m_status->clear();
    m_picture4->show();
    m_picture4->raise();

    std::unique_ptr<QPrinter> printer = m_makePrinter ? m_makePrinter() : defaultPrinter();
    if (!printer) {
        m_picture4->hide();
        setBusy(false);
        app::report(
            m_context.services,
            app::warning(kMessageTitle, QStringLiteral("プリンターが見つかりません。\n「PDFに保存」でPDFファ"
                                                       "イルにして、ほかのパソコンから印刷できます。")));
        return;
    }
    const printing::PrintLayout &layout = shownLayout();
    printer->setDocName(m_answerKeyShown ? kAnswerKeyDocumentName : kDocumentName);
    printer->setCopyCount(std::max(1, layout.settings.printerProperty));
    const printing::SheetPainter sheet(layout);
    sheet.setUpPage(*printer);

    // The notice paints; "戻る" may be pressed meanwhile, which throws the job away before it is begun.
    QCoreApplication::processEvents();
    bool printed = false;
    QString refused;
    if (!m_discard) {
        m_check1->setChecked(true);
        const std::optional<platform::PrintJobCheck> check =
            platform::PrintJobCheck::forPrinter(printer->printerName(), printer->outputFileName());
        QPainter painter;
        if (painter.begin(printer.get())) {
            sheet.drawPage(painter, *printer);
            printed = painter.end() && printer->printerState() != QPrinter::Error;
        }
        if (printed && check) {
            if (const platform::Status why = check->accepted()) {
                refused = why->text;
                printed = false;
            }
        }
    }
    m_check1->setChecked(false);
    m_picture4->hide();
    setBusy(false);
    if (m_discard) {
        close();
        return;
    }
    const QString target = printer->printerName().isEmpty() ? platform::displayPath(printer->outputFileName())
                                                            : printer->printerName();
    if (!printed) {
        QString text = QStringLiteral("印刷できませんでした（プリンター：%1）。").arg(target);
        if (!refused.isEmpty())
            text += u'\n' + refused;
        app::report(m_context.services, app::warning(kMessageTitle, text));
    } else {
        m_status->setText(QStringLiteral("%1 に送りました。").arg(target));
    }
    drawPreview();
}

void PrintLayoutScreen::saveAsPdf()
{
    if (m_busy)
        return;
    const QString suggested = QDir::home().filePath(
        (m_answerKeyShown ? kAnswerKeyDocumentName : kDocumentName) + QStringLiteral(".pdf"));
    QString path = m_askPdfPath ? m_askPdfPath(suggested)
                                : QFileDialog::getSaveFileName(app::dialogscale::dialogParent(this),
                                                               QStringLiteral("PDFに保存"), suggested,
                                                               QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");

    // Made in memory first, then written beside the file and moved over it by the one verified writer:
    // a disk that fills part way leaves the old file as it was.
    QByteArray pdf;
    bool drawn = false;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(m_answerKeyShown ? kAnswerKeyDocumentName : kDocumentName);
        writer.setCreator(QStringLiteral("四字熟語"));
        drawn = printing::SheetPainter(shownLayout()).print(writer);
    }
    if (const app::Status failed = platform::savePdfFile(path, pdf, drawn)) {
        m_status->clear();
        app::report(m_context.services, app::titled(failed, QStringLiteral("PDFに保存")));
        return;
    }
    m_status->setText(QStringLiteral("保存しました：%1").arg(platform::displayPath(path)));
}

void PrintLayoutScreen::leave()
{
    if (m_busy) {
        // The job being made is thrown away once the printing step regains control.
        m_discard = true;
        return;
    }
    close();
}

void PrintLayoutScreen::close()
{
    if (m_closing)
        return;
    m_closing = true;
    hide();
    emit closed();
    deleteLater();
}

} // namespace printing
