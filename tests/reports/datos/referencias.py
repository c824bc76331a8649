#!/usr/bin/env python3
"""Writes the reference copies of the declaration print-out that
tst_reporteformulario compares byte for byte.

The references are worked out here from the print-out's layout (positions,
sizes, paddings and page breaks), not from the program: this script shares
no code with it. Regenerating them is a deliberate step:

    tests/reports/datos/referencias.py          check efectivo3.PRN, write the rest
    tests/reports/datos/referencias.py --check  only compare, write nothing

efectivo3.PRN (three flights paid in cash) was written out by hand; this
script never overwrites it, it checks that its own layout gives the same
file, which is what makes the other references trustworthy.

The declarations' rows are those tst_reporteformulario.cpp inserts.
"""
import os
import sys

AQUI = os.path.dirname(os.path.abspath(__file__))

ALFA = ("20100070970", "AEROLÍNEAS DEL SUR S.A.")
BETA = ("20512345678", "TRANSPORTES AÉREOS ANDINOS S.A.C.")
BANCOS = {"05": "BANCO INTERAMERICANO DE FINANZAS     BANBIF"}
BOLETAS = {
    "5841": "BOLETA DE PAGO CON DOCUMENTOS VALORADOS",
    "5842": "BOLETA DE PAGO",
    "5852": "BOLETA DE PAGO",
    "5871": "BOLETA DE PAGO - VIRTUAL",
}


def vuelos40():
    """40 flights of April 2026, two a day, as the test inserts them."""
    v = []
    for i in range(40):
        afectos = 100 + 3 * i
        v.append(("2026-04-%02d" % (1 + i // 2), "XA%04d" % (100 + 7 * (39 - i)),
                  [5 + i % 7, i % 3, i % 4, 0, i % 2, 0, 1 if i % 5 == 0 else 0, 2 if i % 6 == 0 else 0, afectos],
                  str(afectos * 15)))
    return v


DECLARACIONES = {
    "efectivo3": dict(
        contribuyente=ALFA, periodo="202603", orden="", control="", anexos=False,
        casillas={390: "58", 391: "43", 392: "15", 393: "480", 394: "495", 395: "3", 396: "7200", 397: "3.450",
                  401: "24840", 404: "24840", 405: "0", 406: "24840", 410: "24840", 5: "0", 871: "0",
                  870: "24840", 872: "E", 28: "4215678", 15: " ", 12: " "},
        vuelos=[("2026-03-05", "LA2401", [12, 3, 0, 0, 1, 0, 0, 0, 150], "2250"),
                ("2026-03-12", "IB6651", [14, 4, 2, 1, 0, 1, 2, 3, 210], "3150"),
                ("2026-03-05", "AV0087", [8, 2, 5, 0, 0, 0, 0, 0, 120], "1800")],
        pagos=[]),
    "vuelos40": dict(
        contribuyente=ALFA, periodo="202604", orden="", control="", anexos=False,
        casillas={390: "456", 391: "354", 392: "102", 393: "6340", 394: "6442", 395: "40", 396: "95100",
                  397: "3.512", 401: "333991", 404: "333991", 406: "333991", 410: "333991", 5: "0",
                  872: "E", 870: "333991", 28: "421567", 15: " ", 12: " "},
        vuelos=vuelos40(), pagos=[]),
    "cheque_anexos": dict(
        contribuyente=BETA, periodo="202603", orden="", control="", anexos=True,
        casillas={390: "29", 391: "24", 392: "5", 393: "183", 394: "188", 395: "2", 396: "2745", 397: "3.380",
                  401: "9278", 402: "0", 403: "6865", 404: "2413", 405: "37", 406: "2450", 410: "2450",
                  5: "1", 871: "1", 870: "2450", 872: "C", 15: "05", 12: "00045127"},
        vuelos=[("2026-03-09", "TA0103", [10, 2, 3, 0, 2, 0, 0, 0, 88], "1320"),
                ("2026-03-02", "TA0101", [10, 2, 0, 0, 0, 0, 0, 0, 95], "1425")],
        pagos=[("5842", "00000009", "2026-03-20", "1690", "3.380", "500"),
               ("5841", "00012345", "2026-03-20", "3450", "3.450", "1000"),
               ("5871", "77", "2026-03-15", "1725", "3.450", "500")]),
    "enviada": dict(
        contribuyente=ALFA, periodo="202603", orden="26013344", control="48213", anexos=True,
        casillas={390: "30", 391: "29", 392: "1", 393: "292", 394: "293", 395: "2", 396: "4380", 397: "3.412",
                  401: "14945", 403: "2000", 404: "12945", 406: "12945", 410: "12945", 5: "0", 871: "0",
                  870: "12945", 872: "E", 28: "4215678", 15: " ", 12: " "},
        vuelos=[("2026-03-28", "LA2415", [11, 3, 0, 0, 0, 0, 0, 0, 142], "2130"),
                ("2026-03-05", "LA2401", [12, 3, 0, 0, 1, 0, 0, 0, 150], "2250")],
        pagos=[("5852", "00077001", "2026-03-31", "2000", "3.400", "588")]),
    "negativa": dict(
        contribuyente=BETA, periodo="202605", orden="", control="", anexos=True,
        casillas={395: "0", 396: "0", 397: "3.500", 401: "0", 402: "-500", 403: "0", 404: "500", 406: "500",
                  410: "500", 5: "0", 871: "0", 872: "X", 28: "3344556", 15: " ", 12: " ", 870: " "},
        vuelos=[], pagos=[]),
}


# Number formats of the print-out ------------------------------------------

def miles(n):
    return "{:,}".format(n)


def redondo(texto):
    """The whole number of a numeric text, halves away from zero."""
    from decimal import Decimal, ROUND_HALF_UP
    return int(Decimal(texto).quantize(Decimal(1), rounding=ROUND_HALF_UP))


def monto(texto):
    """"###,###,###,##0;(###,###,###,##0)"; an empty text stays empty."""
    if texto.strip() == "":
        return ""
    n = redondo(texto)
    return "(%s)" % miles(-n) if n < 0 else miles(n)


def figura(casillas, n):
    texto = casillas.get(n, "")
    if n == 397:
        from decimal import Decimal
        valor = "" if texto == "" else "{:,.3f}".format(Decimal(texto))
    else:
        valor = monto(texto)
    negativo = texto.strip() != "" and float(texto) < 0
    return valor.rjust(16 if negativo else 15)


def sin_ceros(texto):
    """"#,###,###,###,###": nothing at all for zero."""
    n = redondo(texto)
    return "" if n == 0 else miles(n)


def fecha(iso):
    a, m, d = iso.split("-")
    return "%s/%s/%s" % (d, m, a)


# The report ----------------------------------------------------------------

class Reporte:
    def __init__(self, dec):
        self.d = dec
        self.lineas = []
        self.hoja = 0

    def pos(self, x, y, texto, negrita=False, tam=8):
        self.lineas.append("pPos|%d|%d|%s|%s|%d|%d|" % (x, y, texto, "True" if negrita else "False", tam, self.hoja))

    def caja(self, x1, y1, x2, y2):
        self.lineas.append("pCuadro|%d|%d|%d|%d|%d|" % (x1, y1, x2, y2, self.hoja))

    def nueva_hoja(self):
        self.lineas.append("pNuevaHoja")
        self.hoja += 1

    def encabezado(self):
        ruc, nombre = self.d["contribuyente"]
        c = self.d["casillas"]
        p = self.d["periodo"]
        self.pos(300, 350, "KORVAL", True, 16)
        self.pos(300, 750, "DECLARACION")
        self.pos(550, 1100, "PAGO")
        self.pos(550, 1330, "517", True, 12)
        self.caja(150, 300, 1700, 1640)
        self.pos(2000, 400, "QDL Zentorio", True, 9)
        self.pos(4300, 850, "Período %s-%s" % (p[4:6], p[0:4]), False, 7)
        self.caja(1700, 300, 8500, 1100)
        self.pos(1750, 1170, "RUC")
        self.pos(3500, 1170, ruc, True)
        self.caja(1700, 1100, 3400, 1370)
        self.caja(3400, 1100, 8500, 1370)
        self.pos(1750, 1450, "RAZON SOCIAL")
        self.pos(3500, 1450, nombre, True)
        self.caja(1700, 1370, 3400, 1640)
        self.caja(3400, 1370, 8500, 1640)
        self.pos(8700, 1170, " N° DE TELEFONO")
        self.pos(9000, 1450, c.get(28, "").rjust(7), True)
        self.pos(9000, 400, "Copia para el")
        self.pos(8600, 700, "Contribuyente (Pag. %d)" % (self.hoja + 1))
        self.caja(8500, 300, 11000, 1100)
        self.caja(8500, 1100, 11000, 1640)
        if self.d["orden"].strip():
            self.caja(150, 1640, 2650, 1910)
            self.pos(300, 1720, "NRO. CONTROL: ")
            self.pos(1800, 1720, self.d["control"].rjust(8), True)
            self.caja(8500, 1640, 11000, 1910)
            self.pos(8700, 1720, "NRO. ORDEN: ")
            self.pos(10000, 1720, self.d["orden"].rjust(8), True)
        self.caja(8500, 1100, 11000, 1370)

    def rejilla(self, filas):
        for k in range(filas):
            self.caja(150, 2820 + 270 * k, 8775, 3090 + 270 * k)
            self.caja(6550, 2820 + 270 * k, 6950, 3090 + 270 * k)

    def filas_casillas(self, filas):
        y = 2880
        for etiqueta, x, n in filas:
            self.pos(x, y, etiqueta)
            self.pos(6600, y, str(n))
            self.pos(7050, y, figura(self.d["casillas"], n))
            y += 270
        return y - 270

    def cabeza(self, h, xfin, l1, l2, negrita):
        self.caja(150, h, xfin, h + 540)
        self.pos(300, h, l1, negrita, 9)
        self.pos(300, h + 270, l2, negrita, 9)

    def primera_parte(self):
        self.lineas += ["<!font!>Courier New<!/font!>", "<!Orientacion!>V<!/Orientacion!>",
                        "<!Color!>&H00FFFFC0&<!/Color!>", "<!nHojas!>2<!/nHojas!>"]
        self.rejilla(9)
        self.encabezado()
        self.pos(300, 2340, "VUELOS Y CANTIDAD DE PASAJEROS ", True, 9)
        ultima = self.filas_casillas([
            ("Pasajeros no Comprendidos ", 600, 390), ("Personal Línea Aérea", 800, 391),
            ("Pasajeros", 800, 392), ("Pasajeros Comprendidos ", 600, 393), ("Total Pasajeros", 600, 394),
            ("Total Vuelos en el Período", 600, 395), ("Impuesto US Dólares ( $ ) ", 600, 396),
            ("Tipo de Cambio Venta", 600, 397), ("Impuesto Soles ( S/. )", 600, 401)])
        titulo = ultima + 810
        self.pos(300, titulo, "DETALLE DE VUELOS Y CANTIDAD DE PASAJEROS ", True, 9)
        cab1 = " Fecha de  Codigo de Vuelo                 No Comprendidos                  Comp.  Total  Cuantía del"
        cab2 = "  Arribo                    Trip. Pers. Tran. Forz. Dipl. Extr. Depo. Ante.        Pasaj.  Impuesto"
        self.cabeza(titulo + 270, 11300, cab1, cab2, True)
        y = titulo + 540
        vuelos = sorted(self.d["vuelos"], key=lambda v: (v[0], v[1]))
        for f, codigo, cuentas, dolares in vuelos:
            y += 270
            linea = fecha(f).ljust(11) + codigo.ljust(16) + "".join(str(n).rjust(6) for n in cuentas)
            linea += str(sum(cuentas)).rjust(7) + dolares.rjust(13)
            self.pos(300, y, linea, False, 9)
            if y > 14000:
                self.nueva_hoja()
                self.encabezado()
                self.cabeza(2610, 11300, cab1, cab2, True)
                y = 2880
        self.caja(150, y + 270, 11300, y + 270)
        self.pos(300, y + 540, "Total de Vuelos en el Período : %d" % len(vuelos), False, 9)
        self.pos(5300, y + 540, "Total Impuesto US Dólares ( $ ): " + monto(self.d["casillas"].get(396, "")), False, 9)
        self.caja(150, y + 810, 11300, y + 810)

    def deuda(self):
        self.nueva_hoja()
        self.rejilla(7)
        self.encabezado()
        self.pos(300, 2340, "DETERMINACION DE LA DEUDA ", True, 9)
        y = self.filas_casillas([
            ("Impuesto resultante ", 600, 401), ("Compensación - Pagos en exceso o indebidos", 800, 402),
            ("Pagos Previos", 800, 403), ("Saldo a Pagar", 600, 404), ("Interés Moratorio", 600, 405),
            ("Total Deuda Tributaria", 600, 406), ("Importe a Pagar", 600, 410)])
        c = self.d["casillas"]
        filas = []
        if c.get(872) == "E":
            filas.append(("EFECTIVO", figura(c, 410)))
        elif c.get(872) == "C":
            filas.append(("BANCO", BANCOS.get(c.get(15), "")[0:25]))
            filas.append(("NRO. DE CHEQUE", c.get(12, "")))
        filas.append(("RECTIFICA", "NO" if c.get(5) == "0" else "SI"))
        for etiqueta, valor in filas:
            y += 270
            self.caja(150, y, 6950, y + 270)
            self.caja(150, y, 8775, y + 270)
            self.pos(600, y, etiqueta)
            self.pos(7050, y, valor)

    def pagos(self):
        self.nueva_hoja()
        self.encabezado()
        self.pos(300, 2340, "DETALLE DE PAGOS PREVIOS ", True, 9)
        cab1 = "          Boleta de Pago            Num.Orden/  Fecha Pago  Monto Soles(S/.) T.Cambio  Mto.Dólares($)"
        cab2 = "                                    Operacion "
        self.cabeza(2610, 11200, cab1, cab2, False)
        y = 2880
        for boleta, operacion, f, soles, cambio, dolares in sorted(self.d["pagos"], key=lambda p: (p[2], p[0], p[1])):
            y += 270
            linea = (boleta + "-" + BOLETAS[boleta][0:30]).ljust(36) + operacion.ljust(12) + fecha(f).ljust(11)
            linea += sin_ceros(soles).rjust(17) + cambio.rjust(8) + sin_ceros(dolares).rjust(17)
            self.pos(300, y, linea, False, 9)
            if y > 14000:
                self.nueva_hoja()
                self.encabezado()
                self.cabeza(2610, 11200, cab1, cab2, False)
                y = 2880
        self.caja(150, y + 270, 11200, y + 270)
        self.pos(5000, y + 540, "Total Pagos Previos en Nuevos Soles( S/. ): " + monto(self.d["casillas"].get(403, "")),
                 False, 9)
        self.caja(150, y + 810, 11200, y + 810)

    def bytes(self):
        self.primera_parte()
        self.deuda()
        if self.d["anexos"]:
            self.pagos()
        return "".join(l + "\r\n" for l in self.lineas).encode("cp1252")


def main():
    solo_comparar = "--check" in sys.argv
    fallos = 0
    for nombre, dec in DECLARACIONES.items():
        ruta = os.path.join(AQUI, nombre + ".PRN")
        contenido = Reporte(dec).bytes()
        if nombre == "efectivo3" or solo_comparar:
            with open(ruta, "rb") as f:
                igual = f.read() == contenido
            print("%-14s %s" % (nombre, "igual" if igual else "DISTINTO"))
            fallos += not igual
        else:
            with open(ruta, "wb") as f:
                f.write(contenido)
            print("%-14s escrito (%d líneas)" % (nombre, len(contenido.splitlines())))
    return 1 if fallos else 0


if __name__ == "__main__":
    sys.exit(main())
