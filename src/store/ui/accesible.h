#pragma once

#include <QString>
#include <QWidget>

namespace kv {

// The text a screen reader says for a control: its label without the
// mnemonic marks ("&Nuevo" is "Nuevo", "&&" stays one "&") and without the
// final colon and blanks ("Fecha de Arribo  : " is "Fecha de Arribo").
inline QString textoAccesible(const QString &etiqueta)
{
    QString t;
    t.reserve(etiqueta.size());
    for (qsizetype i = 0; i < etiqueta.size(); ++i) {
        if (etiqueta.at(i) == u'&') {
            if (i + 1 < etiqueta.size() && etiqueta.at(i + 1) == u'&')
                t += u'&', ++i;
            continue;
        }
        t += etiqueta.at(i);
    }
    while (!t.isEmpty() && (t.back() == u':' || t.back().isSpace()))
        t.chop(1);
    while (!t.isEmpty() && t.front().isSpace())
        t.remove(0, 1);
    return t;
}

// What assistive tools and scripts read of a control a person types into,
// chooses from or presses: its accessible name is the text of its label,
// its accessible description its name in the system ("txtValor(397)",
// "CmbRuc", "cmdAccion(2)"), so that two unlabelled boxes can be told apart.
inline void nombrarControl(QWidget *control, const QString &etiqueta, const QString &nombreSistema)
{
    control->setAccessibleName(textoAccesible(etiqueta));
    control->setAccessibleDescription(nombreSistema);
}

} // namespace kv
