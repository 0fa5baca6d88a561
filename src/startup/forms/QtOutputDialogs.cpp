#include "startup/forms/QtOutputDialogs.h"

#include "app/forms/DialogScale.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

bool QtOutputDialogs::choosePrinter(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, app::dialogscale::dialogParent(parent));
    dialog.setWindowTitle(QStringLiteral("印刷"));
    return dialog.exec() == QDialog::Accepted;
}

QString QtOutputDialogs::choosePdfFile(const QString &suggestedPath, QWidget *parent)
{
    return QFileDialog::getSaveFileName(app::dialogscale::dialogParent(parent), QStringLiteral("PDFに保存"),
                                        suggestedPath, QStringLiteral("PDF (*.pdf)"));
}
