#include "digit_filter.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

void AcceptDigitsOnly(QLineEdit* edit) {
    // A validator also stops letters that arrive by paste, which a key filter would let in.
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(digits, edit));
}
