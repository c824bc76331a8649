#!/usr/bin/env python3
"""Writes the small spreadsheet files the reader and import tests read.

Run from anywhere: python3 tests/flights/hojas/generar.py
The files are written beside this script and kept in the tree; run it again
only to change them on purpose, and look at what changed before keeping it.
Workbooks are put together part by part with the standard library (zipfile),
so that what the tests read does not depend on the code under test.
"""
import datetime
import os
import zipfile
from xml.sax.saxutils import escape

AQUI = os.path.dirname(os.path.abspath(__file__))
FECHA_ZIP = (2026, 11, 30, 12, 0, 0)  # the same bytes on every run


def escribir(nombre, datos):
    with open(os.path.join(AQUI, nombre), "wb") as f:
        f.write(datos)


# --- CSV -------------------------------------------------------------------

def csv():
    # Quoted separators, a quote written twice, a line break inside quotes,
    # a row with nothing in it, and a last line without its line end.
    escribir("comillas.csv", (
        "Fecha,Vuelo,Nota\r\n"
        "17/11/2026,\"LA,2401\",\"dice \"\"hola\"\"\"\r\n"
        "18/11/2026,LA2402,\"dos\r\nlíneas\"\r\n"
        ",,\r\n"
        "19/11/2026,LA2403,fin").encode("utf-8"))
    # UTF-8 with its byte-order mark, right before a quote.
    escribir("bom.csv", "\ufeff\"Código de Vuelo\",Tránsito\r\nÑA1,3\r\n".encode("utf-8"))
    # Windows-1252: letters with accents, the euro sign and curly quotes are
    # single bytes that are not UTF-8.
    escribir("cp1252.csv", "Agentes Diplomáticos;Año\r\nÑandú “x”;€5\r\n".encode("cp1252"))
    # A semicolon file whose decimals carry commas.
    escribir("puntoycoma.csv", (
        "Fecha;Vuelo;Importe\n"
        "17/11/2026;LA2401;1,5\n"
        "18/11/2026;LA2402;2,25\n").encode("utf-8"))
    escribir("tabuladores.csv", "Fecha\tVuelo\tTrip.\n17/11/2026\tLA2401\t12\n".encode("utf-8"))
    # A quote opened on row 2 and never closed.
    escribir("comillas-abiertas.csv", "Fecha,Vuelo\n17/11/2026,\"LA2401\n18/11/2026,LA2402\n".encode("utf-8"))


# --- Workbooks -------------------------------------------------------------

TIPOS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
</Types>"""

RAIZ = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""

R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"

# Style 0 plain, 1 the built-in short date (14), 2 a format of the book's own
# (dd/mm/yyyy), 3 a number with two decimals (not a date).
ESTILOS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="1"><numFmt numFmtId="164" formatCode="dd/mm/yyyy;@"/></numFmts>
<cellStyleXfs count="1"><xf numFmtId="0"/></cellStyleXfs>
<cellXfs count="4"><xf numFmtId="0" xfId="0"/><xf numFmtId="14" xfId="0" applyNumberFormat="1"/><xf numFmtId="164" xfId="0" applyNumberFormat="1"/><xf numFmtId="4" xfId="0" applyNumberFormat="1"/></cellXfs>
</styleSheet>"""


def serie(d):
    """The day number of a date in the 1900 system."""
    return (d - datetime.date(1899, 12, 30)).days


class Compartidos:
    def __init__(self):
        self.textos = []

    def indice(self, texto):
        if texto not in self.textos:
            self.textos.append(texto)
        return self.textos.index(texto)

    def xml(self):
        items = "".join("<si><t xml:space=\"preserve\">%s</t></si>" % escape(t) for t in self.textos)
        return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="%d" '
                'uniqueCount="%d">%s</sst>' % (len(self.textos), len(self.textos), items))


def columna(n):
    letras = ""
    n += 1
    while n:
        n, r = divmod(n - 1, 26)
        letras = chr(65 + r) + letras
    return letras


def celda(ref, valor, compartidos):
    """A cell from a Python value: str (shared text), int/float (number),
    bool, ("fecha", date[, style]) a day number with a date style,
    ("enlinea", text), ("crudo", xml) written as it stands."""
    if valor is None:
        return ""
    if isinstance(valor, bool):
        return '<c r="%s" t="b"><v>%d</v></c>' % (ref, 1 if valor else 0)
    if isinstance(valor, (int, float)):
        return '<c r="%s"><v>%s</v></c>' % (ref, repr(valor))
    if isinstance(valor, str):
        return '<c r="%s" t="s"><v>%d</v></c>' % (ref, compartidos.indice(valor))
    tipo = valor[0]
    if tipo == "fecha":
        estilo = valor[2] if len(valor) > 2 else 1
        return '<c r="%s" s="%d"><v>%s</v></c>' % (ref, estilo, serie(valor[1]))
    if tipo == "numero":
        return '<c r="%s" s="%d"><v>%s</v></c>' % (ref, valor[2], valor[1])
    if tipo == "enlinea":
        return '<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref, escape(valor[1]))
    if tipo == "crudo":
        return valor[1]
    raise ValueError(tipo)


def hoja(filas, compartidos):
    """filas: list of (row number, [values from column A])."""
    cuerpo = []
    for numero, valores in filas:
        celdas = "".join(celda("%s%d" % (columna(i), numero), v, compartidos) for i, v in enumerate(valores))
        cuerpo.append('<row r="%d">%s</row>' % (numero, celdas))
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
            '<sheetData>%s</sheetData></worksheet>' % "".join(cuerpo))


def libro(nombre, hojas, fecha1904=False, quitar=(), retocar=None):
    """hojas: list of (sheet name, rows) or (sheet name, rows, "oculta").
    quitar: parts left out of the zip. retocar(bytes) changes the finished
    file."""
    compartidos = Compartidos()
    partes = {}
    listado = []
    relaciones = []
    for i, h in enumerate(hojas, start=1):
        estado = ' state="hidden"' if len(h) > 2 else ""
        listado.append('<sheet name="%s" sheetId="%d"%s r:id="rId%d"/>' % (escape(h[0]), i, estado, i))
        relaciones.append('<Relationship Id="rId%d" Type="%s/worksheet" Target="worksheets/sheet%d.xml"/>'
                          % (i, R, i))
        # A sheet given as text is written as it stands.
        partes["xl/worksheets/sheet%d.xml" % i] = h[1] if isinstance(h[1], str) else hoja(h[1], compartidos)
    n = len(hojas)
    relaciones.append('<Relationship Id="rId%d" Type="%s/styles" Target="styles.xml"/>' % (n + 1, R))
    relaciones.append('<Relationship Id="rId%d" Type="%s/sharedStrings" Target="sharedStrings.xml"/>'
                      % (n + 2, R))
    partes["xl/workbook.xml"] = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="%s">'
        '<workbookPr%s/><sheets>%s</sheets></workbook>'
        % (R, ' date1904="1"' if fecha1904 else "", "".join(listado)))
    partes["xl/_rels/workbook.xml.rels"] = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">%s'
        '</Relationships>' % "".join(relaciones))
    partes["xl/styles.xml"] = ESTILOS
    partes["xl/sharedStrings.xml"] = compartidos.xml()
    ruta = os.path.join(AQUI, nombre)
    with zipfile.ZipFile(ruta, "w", zipfile.ZIP_DEFLATED) as z:
        for parte, texto in [("[Content_Types].xml", TIPOS), ("_rels/.rels", RAIZ)] + list(partes.items()):
            if parte in quitar:
                continue
            z.writestr(zipfile.ZipInfo(parte, FECHA_ZIP), texto.encode("utf-8"), zipfile.ZIP_DEFLATED)
    if retocar:
        with open(ruta, "rb") as f:
            datos = f.read()
        escribir(nombre, retocar(datos))


def declarar_tamano(parte, tamano):
    """Makes the zip's local and central headers of `parte` say it expands
    to `tamano` bytes, as a zip built to exhaust memory would; the data
    itself stays as it was."""
    import struct

    def retocar(datos):
        datos = bytearray(datos)
        nombre = parte.encode()
        # Local headers (PK\3\4: size at 22, name length at 26, name at
        # 30) and central ones (PK\1\2: 24, 28, 46).
        for firma, tamano_en, largo_en, nombre_en in ((b"PK\x03\x04", 22, 26, 30), (b"PK\x01\x02", 24, 28, 46)):
            i = datos.find(firma)
            while i >= 0:
                largo = struct.unpack_from("<H", datos, i + largo_en)[0]
                if bytes(datos[i + nombre_en:i + nombre_en + largo]) == nombre:
                    struct.pack_into("<I", datos, i + tamano_en, tamano)
                i = datos.find(firma, i + 4)
        return bytes(datos)
    return retocar


def libros():
    d = datetime.date
    # Dates as day numbers (a built-in date style and one of the book's
    # own) and as text (shared, inline); numbers, booleans, an error; a row
    # with only empty cells and a row left out.
    libro("fechas.xlsx", [("Vuelos", [
        (1, ["Fecha", "Vuelo", "Trip.", "Nota"]),
        (2, [("fecha", d(2026, 11, 17)), "LA2401", 12, True,
             ("crudo", '<c r="E2" t="inlineStr"><is><r><t>Tri</t></r><r><rPr><b/></rPr><t>pulantes</t></r>'
                       '<rPh sb="0" eb="1"><t>x</t></rPh></is></c>')]),
        (3, [("fecha", d(2026, 11, 18), 2), ("enlinea", "LA 2402"), 150.0, False]),
        (4, ["2026-11-19", 2403, 1.5, ("crudo", '<c r="D4" t="e"><v>#N/A</v></c>')]),
        (5, [("crudo", '<c r="A5" s="1"/>'), ("crudo", '<c r="B5" t="s"><v>%d</v></c>' % 9999)][:1]),
        (7, [("enlinea", "20/11/2026"), ("numero", "46346.75", 1), ("numero", "7", 3),
             ("crudo", '<c r="D7" t="str"><f>A7</f><v>calculado</v></c>')]),
        (8, [("numero", "60", 1), ("numero", "1", 1), ("numero", "61", 2)]),
    ])])
    libro("fechas-1904.xlsx", [("Hoja1", [(1, [("numero", "0", 1), ("numero", "44877", 1)])])], fecha1904=True)
    libro("vacia.xlsx", [("Hoja1", [])])
    # Written by hand: a namespace prefix on every element, rows and cells
    # without their numbers, a comment between rows, a section of character
    # data that holds what looks like tags, a ">" inside an attribute, and
    # rows that are not the sheet's (inside another element, after the
    # sheet's data).
    libro("forma-libre.xlsx", [("Hoja1",
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">\n'
        '<x:sheetData>\n'
        '<x:row r="2"><x:c t="inlineStr"><x:is><x:t>uno</x:t></x:is></x:c><x:c><x:v>1</x:v></x:c></x:row>\n'
        '<!-- <x:row r="9"><x:c><x:v>9</x:v></x:c></x:row> -->\n'
        '<x:row><x:c t="inlineStr"><x:is><x:t><![CDATA[</x:row><x:row r="7">]]></x:t></x:is></x:c></x:row>\n'
        '<x:row><x:c r="C4"><x:v>3</x:v></x:c></x:row>\n'
        '<x:row r="6"/>\n'
        '<x:otro><x:row r="5"><x:c><x:v>5</x:v></x:c></x:row></x:otro>\n'
        '<x:row><x:c t="inlineStr" nota="a>b"><x:is><x:t>&lt;fin&gt; &amp; &#233;</x:t></x:is></x:c></x:row>\n'
        '</x:sheetData><x:mergeCells count="0"/>'
        '<x:extLst><x:row r="99"><x:c><x:v>99</x:v></x:c></x:row></x:extLst></x:worksheet>')])
    # Without the package's relationships nor styles: the workbook and its
    # parts are where they usually are, and no number is a date.
    libro("sin-relaciones.xlsx", [("Hoja1", [(1, ["Vuelo", ("numero", "46343", 1)])])],
          quitar=("_rels/.rels", "xl/styles.xml"))
    # The second sheet is chosen by name; the first is hidden, so the
    # sheet a person sees first is "Vuelos".
    libro("dos-hojas.xlsx", [("Tablas", [(1, ["tasa"])], "oculta"), ("Vuelos", [(1, ["Fecha"]), (2, ["ok"])]),
                             ("Resumen", [(3, ["resumen"])])])
    libro("hoja-ausente.xlsx", [("Vuelos", [(1, ["Fecha"])])], quitar=("xl/worksheets/sheet1.xml",))
    libro("celda-fuera.xlsx", [("Vuelos", [
        (1, ["Fecha"]), (2, [("crudo", '<c r="XFE2" t="inlineStr"><is><t>x</t></is></c>')])])])
    # Good flights, more than the column window's preview shows, then a
    # cell beyond the last column.
    libro("danada-al-final.xlsx", [("Vuelos", [
        (1, ["Fecha de Arribo", "Código de Vuelo", "Tripulantes", "Personal", "Tránsito", "Arribo Forzoso",
             "Dipl.", "Extr.", "Depo.", "Ante.", "Comp."])]
        + [(n, [("fecha", d(2026, 11, 17)), "LA%d" % n, 12, 0, 3, 0, 1, 0, 0, 0, 150]) for n in range(2, 27)]
        + [(27, [("crudo", '<c r="XFE27"><v>1</v></c>')])])])
    libro("fila-fuera.xlsx", [("Vuelos", [(1, ["Fecha"]), (1048577, ["x"])])])
    # A sheet that says it expands to 300 MB.
    libro("expande-300mb.xlsx", [("Vuelos", [(1, ["Fecha"])])],
          retocar=declarar_tamano("xl/worksheets/sheet1.xml", 300 * 1024 * 1024))
    # A sheet that expands to more than it says.
    libro("expande-mas-de-lo-dicho.xlsx", [("Vuelos", [(i, ["Fecha %d" % i]) for i in range(1, 200)])],
          retocar=declarar_tamano("xl/worksheets/sheet1.xml", 100))
    # A workbook cut short half way, and a file that is no zip.
    libro("truncado.xlsx", [("Vuelos", [(1, ["Fecha"]), (2, ["x"])])], retocar=lambda b: b[:len(b) // 2])
    escribir("no-zip.xlsx", b"Fecha,Vuelo\r\n17/11/2026,LA2401\r\n")

    # The carrier's month as its own system keeps it: a title row above the
    # headings, the columns in an order of its own with headings in English,
    # in the print-out's short forms and in the grid's captions (the
    # passengers subject to the tax under a heading no rule knows, "Pax"),
    # an empty cell far to the right of the title, dates as day numbers and
    # as text, a blank row, a row with a note alone
    # (blank for the import), and two rows the import refuses (a code with
    # a hyphen on row 6, no crew on row 8).
    libro("vuelos-desordenados.xlsx", [("Noviembre", [
        (1, ["Vuelos de noviembre", ("crudo", '<c r="AZ1" s="1"/>')]),
        (2, ["Flight", "Pax", "Crew", "Pers.", "Tránsito", "Forz.", "Diplomats", "Extr.", "Deportados",
             "Ante.", "Observaciones", "Fecha de Arribo"]),
        (3, ["LA2401", 150, 12, 0, 3, 0, 1, 0, 0, 0, "ninguna", ("fecha", d(2026, 11, 17))]),
        (4, ["av81", 98, 9, 2, 0, 1, 0, 0, 2, 5, None, ("fecha", d(2026, 11, 18))]),
        (5, [None] * 12),
        (6, ["LA-2403", 120, 10, 0, 0, 0, 0, 0, 0, 0, "código mal escrito", ("fecha", d(2026, 11, 19))]),
        (7, ["JJ3050", 200, 14, 1, 4, 0, 2, 1, 0, 3, None, "20/11/2026"]),
        (8, ["LA2405", 180, 0, 0, 0, 0, 0, 0, 0, 0, "sin tripulantes", ("fecha", d(2026, 11, 21))]),
        (9, ["CM0412", 75, 8, 0, 0, 2, 0, 0, 1, 0, None, ("fecha", d(2026, 11, 30))]),
        (10, [None] * 10 + ["revisado por operaciones"]),
    ])])


if __name__ == "__main__":
    csv()
    libros()
