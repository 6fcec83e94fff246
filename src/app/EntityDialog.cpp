#include "app/EntityDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "calc/NumberText.h"
#include "model/Network.h"
#include "schema/AttributeValues.h"
#include "render/TextCodec.h"

namespace zan {

namespace {

// "name = value" for each attribute value an element holds, the value shown by its format.
QStringList ValueRows(const TEntityType& type, const double* values, int count, const TStringList& strings) {
    QStringList rows;
    for (int i = 1; i <= count; ++i) {
        const TAttrib* a = type.Attribute(i);
        const QString name = a != nullptr ? ToQString(a->atname) : QStringLiteral("A%1").arg(i);
        const std::string value =
            a != nullptr ? ShownValueText(*a, values[i - 1], strings) : FormatReal(values[i - 1]);
        rows << name + QStringLiteral(" = ") + ToQString(value);
    }
    return rows;
}

} // namespace

TEntityDialog::TEntityDialog(TNetwork& net, TNode& node, QWidget* parent) : QDialog(parent), node_(&node) {
    setWindowTitle(QStringLiteral("Node Entity"));
    const TEntityType& type = net.NodeDef.TypeOf(node.NType);
    Build(QStringLiteral("Node %1, type %2 %3").arg(node.snumb).arg(node.NType).arg(ToQString(type.ename)),
          ValueRows(type, node.NValue.get(), node.ValueCount(), node.AttString),
          ToQString(node.alabel.view()), ToQString(node.notes.view()));
}

TEntityDialog::TEntityDialog(TNetwork& net, TLinkValues& link, QWidget* parent)
    : QDialog(parent), link_(&link) {
    setWindowTitle(QStringLiteral("Link Entity"));
    const TEntityType& type = net.LinkDef.TypeOf(link.LType);
    Build(QStringLiteral("Link %1 to %2, type %3 %4")
              .arg(link.AEnd->snumb)
              .arg(link.BEnd->snumb)
              .arg(link.LType)
              .arg(ToQString(type.ename)),
          ValueRows(type, link.LValue.get(), link.ValueCount(), link.AttString),
          ToQString(link.alabel.view()), ToQString(link.notes.view()));
}

void TEntityDialog::Build(const QString& heading, const QStringList& rows, const QString& label,
                          const QString& notes) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(heading, this));
    auto* form = new QFormLayout;
    label_ = new QLineEdit(label, this);
    label_->setObjectName(QStringLiteral("LabelEdit"));
    notes_ = new QPlainTextEdit(notes, this);
    notes_->setObjectName(QStringLiteral("NotesEdit"));
    form->addRow(QStringLiteral("Label:"), label_);
    form->addRow(QStringLiteral("Notes:"), notes_);
    layout->addLayout(form);
    auto* values = new QListWidget(this);
    values->setObjectName(QStringLiteral("Values"));
    values->addItems(rows);
    layout->addWidget(values);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TEntityDialog::accept() {
    const std::string label = FromQString(label_->text());
    const std::string notes = FromQString(notes_->toPlainText());
    if (node_ != nullptr) {
        node_->alabel = TText(label);
        node_->notes = TText(notes);
    } else if (link_ != nullptr) {
        link_->alabel = TText(label);
        link_->notes = TText(notes);
    }
    QDialog::accept();
}

} // namespace zan
