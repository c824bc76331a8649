#pragma once

#include "payments/pagoprevio.h"
#include "support/basedeprueba.h"

#include <QTest>

namespace kv::prueba {

const QString kRuc = QStringLiteral("20100000001");
const QString kPeriodo = QStringLiteral("202403");

// A host database with the declaration of kRuc for 03/2024 open.
inline void abrirDeclaracion(BaseDePrueba &base)
{
    base.contexto().sRuc = kRuc;
    base.contexto().sPeriodo = kPeriodo;
}

// A payment already in the working copy, as the entry window writes it.
inline void agregarPago(BaseDePrueba &base, const QString &operacion, const QString &fecha, const QString &dolares,
                        const QString &tipoCambio, const QString &boleta = QStringLiteral("5841"))
{
    PagoPrevio pago(base.datos());
    QVERIFY(pago.GrabaDatos({boleta, operacion, fecha, dolares, tipoCambio}));
}

} // namespace kv::prueba
