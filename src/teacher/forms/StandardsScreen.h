#pragma once

#include "app/PathsAndSettings.h"
#include "app/forms/AppContext.h"
#include "records/Standards.h"
#include "teacher/Distribution.h"
#include "teacher/StandardsEditor.h"
#include "teacher/StandardsGridModel.h"
#include "teacher/forms/QuietWait.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;
class QStringListModel;
class QTableView;
class WaitingPanel;

namespace teacher {

// The standards editor: the standards table "タイム回数データ.txt" in a grid (MSFlexGrid1) with the
// editor box over the current cell (Gridinputtext), the help label of the current column (lblHelp), the
// frequency panel of the current row's level (picDistribution: lstAllResults, lstBestTimes, optHide,
// optShow), and the buttons "元に戻す" (cmdReload), "更新記録" (cmdSave) and "戻る" (cmdBack).
//
// The keys' rules and the screen's state (the changed flag, whether the table can be saved, the help
// text, what to ask before saving) are StandardsEditor's; this form turns events into its calls and shows
// the result.
class StandardsScreen : public QWidget
{
    Q_OBJECT
public:
    // The parts of the shared state the editor uses: the data folder, and the standards it reads again
    // once the table is saved.
    struct Parts
    {
        const app::PathsAndSettings &settings;
        records::Standards &standards;
    };

    StandardsScreen(const Parts &parts, AppContext &context, QWidget *parent = nullptr);

    // Every showing: load the table, current cell level 1 / column 1, the box over it, the frequency
    // panel.
    void activate();

    // "更新記録": returns whether the table was written.
    bool save();
    // "元に戻す": the file's values again (the changed flag stays).
    void reload();
    void goBack();

    const teacher::StandardsEditor &editor() const { return m_editor; }
    const teacher::StandardsGridModel &grid() const { return m_grid; }
    // How many times the frequency panel was computed (each key but Escape, each click).
    int distributionCount() const { return m_distributionCount; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void load();
    void setColumnWidths();
    void placeEditor();
    void fitEditor();
    bool writeTable();
    void showSelection();
    void showDistribution();
    void gridToText();
    void cellClicked(const QModelIndex &index);
    void showMessage(const QString &text);

    Parts m_parts;
    AppContext &m_context;
    QuietWait m_fileWait{m_context.services.wait};
    teacher::StandardsGridModel m_grid;
    teacher::StandardsEditor m_editor{m_grid};
    int m_distributionCount = 0;

    QLabel *m_intro;
    QTableView *m_view;
    QLineEdit *m_box;
    QLabel *m_help;
    QLabel *m_keyHint;
    QStringListModel *m_allModel;
    QStringListModel *m_bestModel;
    QListView *m_allList;
    QListView *m_bestList;
    QRadioButton *m_hide;
    QRadioButton *m_show;
    QPushButton *m_reload;
    QPushButton *m_save;
    QPushButton *m_back;
    WaitingPanel *m_wait;
};

} // namespace teacher
