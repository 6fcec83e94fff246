// A first "Node Entity" / "Link Entity" dialog: the element's type and serial, its label and notes
// (editable) and its attribute values (shown, not edited). The full attribute dialogs come later;
// this one never changes a value it does not show as editable.
#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace zan {

class TNetwork;
class TNode;
struct TLinkValues;

class TEntityDialog : public QDialog {
    Q_OBJECT

public:
    TEntityDialog(TNetwork& net, TNode& node, QWidget* parent = nullptr);
    TEntityDialog(TNetwork& net, TLinkValues& link, QWidget* parent = nullptr);

    // OK writes the label and the notes back to the element.
    void accept() override;

private:
    void Build(const QString& heading, const QStringList& rows, const QString& label, const QString& notes);

    TNode* node_ = nullptr;
    TLinkValues* link_ = nullptr;
    QLineEdit* label_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
};

} // namespace zan
