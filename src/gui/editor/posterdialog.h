#pragma once

#include <QDialog>

class QRadioButton;
class QSpinBox;

// Asks how a tree goes on paper: fitted to one page, or as a poster of
// columns x rows pages that are put together after printing.
class CPosterDialog : public QDialog
{
    Q_OBJECT
public:
    CPosterDialog(const QString &title, QWidget *parent = nullptr);

    // 1 x 1 when the tree is fitted to one page.
    int Columns() const;
    int Rows() const;
    void SetPoster(int columns, int rows);

private:
    QRadioButton *m_fit;
    QRadioButton *m_poster;
    QSpinBox *m_columns;
    QSpinBox *m_rows;
};
