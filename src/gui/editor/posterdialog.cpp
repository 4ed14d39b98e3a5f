#include "posterdialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

CPosterDialog::CPosterDialog(const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_fit(new QRadioButton(tr("Fit to one page"), this))
    , m_poster(new QRadioButton(tr("Poster of"), this))
    , m_columns(new QSpinBox(this))
    , m_rows(new QSpinBox(this))
{
    setWindowTitle(title);
    m_fit->setObjectName(QStringLiteral("fit"));
    m_poster->setObjectName(QStringLiteral("poster"));
    m_columns->setObjectName(QStringLiteral("columns"));
    m_rows->setObjectName(QStringLiteral("rows"));
    for (QSpinBox *box : {m_columns, m_rows}) {
        box->setRange(1, 100);
        box->setValue(2);
        box->setEnabled(false);
    }
    m_fit->setChecked(true);
    connect(m_poster, &QRadioButton::toggled, m_columns, &QWidget::setEnabled);
    connect(m_poster, &QRadioButton::toggled, m_rows, &QWidget::setEnabled);

    auto *posterRow = new QHBoxLayout;
    posterRow->addWidget(m_poster);
    posterRow->addWidget(m_columns);
    posterRow->addWidget(new QLabel(QStringLiteral("x"), this));
    posterRow->addWidget(m_rows);
    posterRow->addWidget(new QLabel(tr("pages"), this));
    posterRow->addStretch();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fit);
    layout->addLayout(posterRow);
    layout->addWidget(
        new QLabel(tr("Poster pages overlap a little and are labelled with their row and column."), this));
    layout->addWidget(buttons);
}

int CPosterDialog::Columns() const
{
    return m_poster->isChecked() ? m_columns->value() : 1;
}

int CPosterDialog::Rows() const
{
    return m_poster->isChecked() ? m_rows->value() : 1;
}

void CPosterDialog::SetPoster(int columns, int rows)
{
    const bool poster = columns > 1 || rows > 1;
    m_poster->setChecked(poster);
    m_fit->setChecked(!poster);
    m_columns->setValue(std::max(1, columns));
    m_rows->setValue(std::max(1, rows));
}
