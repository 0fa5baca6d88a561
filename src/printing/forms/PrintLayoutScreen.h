#pragma once

#include "app/forms/AppContext.h"
#include "printing/PrintLayout.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace printing {

// The print layout screen: the sheet of the print layout values as a preview of the A4 page, printed on
// request on the default printer or saved as a PDF file. It keeps nothing of its own: what it draws comes
// from the layout it is given, and "戻る" closes it (discarding a print job not yet sent: one asked for
// while the notice comes up).
//
// When an answer key is given, two options choose which of the two is previewed, printed and saved.
//
// Controls: Picture1 (the page preview), Picture4 with Label1 (the printing notice), Command9 (印刷),
// Command10 (PDFに保存), Command8 (戻る), optSheet and optAnswerKey, lblPrinter, lblStatus, and the hidden
// Check1 (checked while the sheet is drawn for the printer) and Check2 (the orientation box).
class PrintLayoutScreen : public QWidget
{
    Q_OBJECT
public:
    // Makes the printer to print on; nullptr when there is none.
    using PrinterMaker = std::function<std::unique_ptr<QPrinter>()>;
    // Asks where to save the PDF file, suggesting a path; empty when the user cancels.
    using PdfPathAsker = std::function<QString(const QString &suggested)>;

    PrintLayoutScreen(AppContext &context, const printing::PrintLayout &sheet,
                      const printing::PrintLayout *answerKey, QWidget *parent = nullptr);
    ~PrintLayoutScreen() override;

    // Showing: the preview (or the notice alone), and for a sheet to print at once, printing and closing.
    void activate();

    // "印刷": prints the sheet shown as one page, with the notice up meanwhile, then draws the preview again.
    void print();
    // "PDFに保存".
    void saveAsPdf();
    // "戻る".
    void leave();

    void showAnswerKey(bool answerKey);
    bool showingAnswerKey() const { return m_answerKeyShown; }

    // The preview as drawn last.
    QImage previewImage() const { return m_previewImage; }

    void setPrinterMaker(PrinterMaker maker) { m_makePrinter = std::move(maker); }
    void setPdfPathAsker(PdfPathAsker asker) { m_askPdfPath = std::move(asker); }

    // The default printer of the machine; nullptr when it has none.
    static std::unique_ptr<QPrinter> defaultPrinter();

signals:
    void closed();

private:
    const printing::PrintLayout &shownLayout() const;
    void drawPreview();
    void setBusy(bool busy);
    void placeControls();
    void close();

    AppContext &m_context;
    const printing::PrintLayout &m_sheet;
    const printing::PrintLayout *m_answerKey;
    bool m_answerKeyShown = false;
    bool m_busy = false;
    bool m_discard = false;
    bool m_closing = false;
    PrinterMaker m_makePrinter;
    PdfPathAsker m_askPdfPath;
    QImage m_previewImage;

    QLabel *m_picture1;
    QFrame *m_picture4;
    QLabel *m_label1;
    QPushButton *m_print;
    QPushButton *m_savePdf;
    QPushButton *m_back;
    QRadioButton *m_optSheet;
    QRadioButton *m_optAnswerKey;
    QLabel *m_printer;
    QLabel *m_status;
    QCheckBox *m_check1;
    QCheckBox *m_check2;
};

} // namespace printing
