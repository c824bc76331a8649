#!/usr/bin/env python3
"""Our own mutation tester: do the tests catch plausible faults in the rules?

Reads a list of mutants (tests/mutantes.txt by default), and for each one in
turn changes one text of one source file in a scratch copy of the tree,
builds the test programs that use that file, runs them, and says whether a
test failed (the mutant is killed, and by which test) or all passed (it
survived). The last line is "mutantes: K of N killed". Mutants marked
equivalent (they cannot change behaviour) are listed, not run.

    tools/mutantes.py                  # every mutant
    tools/mutantes.py -k casillas      # those whose file or text matches
    tools/mutantes.py --comprobar      # only check that every text is there
    tools/mutantes.py --postgres       # also on a private PostgreSQL server

The scratch copy and its build folder live in --carpeta (default
/tmp/kv-mutantes), are kept between runs, and the compiler cache makes the
first build cheap after a build of the tree. The working tree is never
touched. Python 3 standard library only.
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import time

RAIZ = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLAVES = ("archivo", "buscar", "cambiar", "porque", "equivalente")


class Mutante:
    def __init__(self, numero, campos, linea):
        self.numero = numero
        self.linea = linea
        self.archivo = campos.get("archivo", "")
        self.buscar = campos.get("buscar", "")
        self.cambiar = campos.get("cambiar")
        self.porque = campos.get("porque", "")
        self.equivalente = campos.get("equivalente", "")

    def nombre(self):
        return "#%d %s: %s -> %s" % (self.numero, self.archivo, self.buscar.strip(), self.cambiar.strip())


def leer_lista(ruta):
    """Blocks of "clave: valor" lines separated by blank lines; '#' starts a
    comment line. A value is everything after "clave: " on its line."""
    mutantes, campos, inicio = [], {}, 0
    with open(ruta, encoding="utf-8") as f:
        lineas = f.read().split("\n")
    for n, linea in enumerate(lineas + [""], start=1):
        if linea.startswith("#"):
            continue
        if not linea.strip():
            if campos:
                mutantes.append(Mutante(len(mutantes) + 1, campos, inicio))
                campos = {}
            continue
        clave, sep, valor = linea.partition(":")
        if not sep or clave not in CLAVES:
            sys.exit("%s:%d: expected one of %s" % (ruta, n, ", ".join(c + ":" for c in CLAVES)))
        if not campos:
            inicio = n
        campos[clave] = valor[1:] if valor.startswith(" ") else valor
    for m in mutantes:
        if not (m.archivo and m.buscar and m.porque) or m.cambiar is None:
            sys.exit("%s:%d: a mutant needs archivo, buscar, cambiar and porque" % (ruta, m.linea))
    return mutantes


def comprobar(mutantes, raiz):
    """Every text must be in its file exactly once, and differ from its
    replacement; returns the problems found."""
    problemas = []
    for m in mutantes:
        ruta = os.path.join(raiz, m.archivo)
        if not os.path.isfile(ruta):
            problemas.append("%s: no such file" % m.nombre())
            continue
        with open(ruta, encoding="utf-8") as f:
            veces = f.read().count(m.buscar)
        if veces != 1:
            problemas.append("%s: the text is there %d times, not once" % (m.nombre(), veces))
        if m.buscar == m.cambiar:
            problemas.append("%s: the replacement is the same text" % m.nombre())
    return problemas


def correr(orden, **kw):
    return subprocess.run(orden, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **kw)


class Copia:
    """The scratch copy of the tree and its own build folder."""

    def __init__(self, carpeta, trabajos, mismo_camino):
        self.carpeta = carpeta
        self.arbol = os.path.join(carpeta, "arbol")
        # The superuser builds and runs the copy where the tree is, in a
        # mount namespace of its own that puts the copy over the tree for
        # those commands alone: every command line is then the tree's, and
        # the compiler cache serves every file but the mutated one. Otherwise
        # the copy is built where it is (the test programs embed their build
        # folder, so the first build of the copy compiles them all).
        self.mismo_camino = mismo_camino
        raiz = RAIZ if mismo_camino else self.arbol
        self.build = os.path.join(raiz, "build")
        self.build_copia = os.path.join(self.arbol, "build")
        self.trabajos = trabajos
        self.entorno = dict(os.environ, CCACHE_BASEDIR=os.path.dirname(raiz))
        self.entradas = {}

    def orden(self, orden):
        if not self.mismo_camino:
            return orden
        guion = 'mount --bind "$1" "$2" && shift 2 && exec "$@"'
        return ["unshare", "-m", "--propagation", "private", "sh", "-c", guion, "sh", self.arbol, RAIZ] + orden

    def preparar(self):
        os.makedirs(self.arbol, exist_ok=True)
        excluir = {".git", "build", "build-fuzz"}
        for nombre in os.listdir(RAIZ):
            if nombre in excluir or nombre.startswith("build"):
                continue
            origen, destino = os.path.join(RAIZ, nombre), os.path.join(self.arbol, nombre)
            if os.path.isdir(origen):
                copiar_carpeta(origen, destino)
            else:
                copiar_si_cambio(origen, destino)
        cache = os.path.join(self.build_copia, "CMakeCache.txt")
        if os.path.isfile(cache):
            with open(cache, encoding="utf-8", errors="replace") as f:
                if ("CMAKE_HOME_DIRECTORY:INTERNAL=%s\n" % os.path.dirname(self.build)) not in f.read():
                    shutil.rmtree(self.build_copia)
        if not os.path.isfile(os.path.join(self.build_copia, "build.ninja")):
            r = correr(self.orden(["cmake", "-S", os.path.dirname(self.build), "-B", self.build, "-G", "Ninja"]),
                       env=self.entorno)
            if r.returncode != 0:
                sys.exit("mutantes: cmake failed:\n" + r.stdout)

    def pruebas(self):
        """{test name: ninja target of its program}, from CTest's own list."""
        r = correr(self.orden(["ctest", "--test-dir", self.build, "--show-only=json-v1"]))
        if r.returncode != 0:
            sys.exit("mutantes: ctest --show-only failed:\n" + r.stdout)
        resultado = {}
        for prueba in json.loads(r.stdout[r.stdout.index("{"):]).get("tests", []):
            for parte in prueba.get("command", []):
                if parte.startswith(self.build + "/") and not parte.endswith(".sh"):
                    resultado[prueba["name"]] = os.path.relpath(parte, self.build)
                    break
        return resultado

    def construir(self, objetivos):
        r = correr(["nice", "-n", "10"] + self.orden(["ninja", "-C", self.build, "-j", str(self.trabajos)])
                   + sorted(objetivos), env=self.entorno)
        return r.returncode == 0, r.stdout

    def entradas_de(self, objetivo):
        """Every file the target is made from, directly or not (ninja's own
        graph), sources and objects alike."""
        if objetivo not in self.entradas:
            r = correr(self.orden(["ninja", "-C", self.build, "-t", "inputs", objetivo]))
            self.entradas[objetivo] = set(r.stdout.split())
        return self.entradas[objetivo]

    def objetos_que_usan(self, archivo):
        """The object files whose compilation read the file (a source or a
        header), from the dependency log of the last build."""
        ruta = os.path.join(os.path.dirname(self.build), archivo)
        relativa = os.path.relpath(ruta, self.build)
        r = correr(self.orden(["ninja", "-C", self.build, "-t", "deps"]))
        objetos, actual = set(), None
        for linea in r.stdout.split("\n"):
            if linea and not linea.startswith(" "):
                actual = linea.split(":")[0]
            elif linea.strip() in (ruta, relativa) and actual:
                objetos.add(actual)
        return objetos

    def programas_afectados(self, archivo, pruebas):
        objetos = self.objetos_que_usan(archivo)
        return {n: p for n, p in pruebas.items() if objetos & self.entradas_de(p)}

    def carpeta_de_prueba(self, objetivo):
        """The folder under tests/ a test program is built from ("store")."""
        for entrada in sorted(self.entradas_de(objetivo)):
            partes = entrada.split("/")
            if len(partes) > 2 and partes[0] == "tests" and entrada.endswith(".cpp.o"):
                return partes[1]
        return ""

    def restaurar(self, archivo):
        copiar_si_cambio(os.path.join(RAIZ, archivo), os.path.join(self.arbol, archivo), forzar=True)

    def ejecutar(self, nombres, tiempo):
        patron = "^(" + "|".join(re.escape(n) for n in sorted(nombres)) + ")$"
        orden = ["ctest", "--test-dir", self.build, "-R", patron, "--output-on-failure",
                 "--stop-on-failure", "--timeout", str(tiempo), "-j", str(self.trabajos)]
        return correr(["nice", "-n", "10"] + self.orden(orden))


def copiar_si_cambio(origen, destino, forzar=False):
    """Copies only what differs, so that unchanged files keep their times and
    ninja rebuilds nothing for them."""
    with open(origen, "rb") as f:
        nuevo = f.read()
    if os.path.exists(destino) and not forzar:
        with open(destino, "rb") as f:
            if f.read() == nuevo:
                return
    os.makedirs(os.path.dirname(destino), exist_ok=True)
    with open(destino, "wb") as f:
        f.write(nuevo)
    shutil.copymode(origen, destino)


def copiar_carpeta(origen, destino):
    for carpeta, subcarpetas, archivos in os.walk(origen):
        subcarpetas[:] = [s for s in subcarpetas if s != "__pycache__"]
        for a in archivos:
            o = os.path.join(carpeta, a)
            copiar_si_cambio(o, os.path.join(destino, os.path.relpath(o, origen)))


def fallos(salida):
    """The failed tests of a ctest run, each with its first failing QTest
    function when the output names it."""
    nombres = re.findall(r"Test +#\d+: (\S+) \.+\**(?:Failed|Exception|Timeout|Not Run)", salida)
    funciones = re.findall(r"^FAIL!  : (\S+)", salida, re.M)
    if not nombres:
        nombres = re.findall(r"^\s*\d+ - (\S+) \((?:Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)",
                             salida, re.M)
    texto = ", ".join(dict.fromkeys(nombres))
    if funciones:
        texto += " (" + funciones[0] + ")"
    return texto


class Servidor:
    """A private PostgreSQL server for the *_psql tests, from
    tools/postgres.sh; stopped when the run ends."""

    def __init__(self):
        guion = ('. "%s/tools/postgres.sh"; iniciar_postgres || { echo "NO $PG_MOTIVO"; exit 1; }; '
                 'echo "OK $KV_PG_PRUEBA"; read _; parar_postgres' % RAIZ)
        self.proceso = subprocess.Popen(["bash", "-c", guion], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        linea = self.proceso.stdout.readline().strip()
        if not linea.startswith("OK "):
            self.proceso.wait()
            sys.exit("mutantes: no PostgreSQL server: " + linea[3:])
        os.environ["KV_PG_PRUEBA"] = linea[3:]

    def parar(self):
        self.proceso.stdin.close()
        self.proceso.wait()


def main():
    p = argparse.ArgumentParser(description="Mutation tester of the rules.")
    p.add_argument("--lista", default=os.path.join(RAIZ, "tests", "mutantes.txt"))
    p.add_argument("--carpeta", default="/tmp/kv-mutantes", help="scratch copy and build folder")
    p.add_argument("-k", dest="filtro", help="only mutants whose file or text contains this")
    p.add_argument("-j", dest="trabajos", type=int, default=2)
    p.add_argument("--tiempo", type=int, default=180, help="seconds a test program may run")
    p.add_argument("--comprobar", action="store_true", help="only check the list against the tree")
    p.add_argument("--aparte", action="store_true",
                   help="build the copy where it is, even as the superuser (see Copia)")
    p.add_argument("--sin-base", action="store_true",
                   help="do not run the tests on the unchanged tree first (when ./test.sh just passed)")
    p.add_argument("--postgres", action="store_true", help="start a private server for the *_psql tests")
    p.add_argument("--excluir", default="tst_fallas",
                   help="tests never run (a regular expression): the slow tests of processes and disks")
    args = p.parse_args()

    mutantes = leer_lista(args.lista)
    problemas = comprobar(mutantes, RAIZ)
    for problema in problemas:
        print("mutantes: " + problema)
    if problemas:
        return 2
    if args.comprobar:
        print("mutantes: %d mutants, every text found once" % len(mutantes))
        return 0
    if args.filtro:
        mutantes = [m for m in mutantes if args.filtro in m.archivo or args.filtro in m.buscar]

    copia = Copia(args.carpeta, args.trabajos, os.geteuid() == 0 and not args.aparte)
    copia.preparar()
    servidor = Servidor() if args.postgres else None
    try:
        return recorrer(copia, mutantes, args)
    finally:
        if servidor:
            servidor.parar()


def recorrer(copia, mutantes, args):
    activos = [m for m in mutantes if not m.equivalente]
    # Everything the mutants' tests need is built once, and those tests must
    # pass on the tree as it is: otherwise every mutant would look killed.
    ok, salida = copia.construir(["all"])
    if not ok:
        print(salida[-4000:])
        sys.exit("mutantes: the scratch copy does not build")
    pruebas = {n: p for n, p in copia.pruebas().items() if not re.search(args.excluir, n)}
    afectadas = {}
    for archivo in sorted({m.archivo for m in activos}):
        afectadas[archivo] = copia.programas_afectados(archivo, pruebas)
        if not afectadas[archivo]:
            sys.exit("mutantes: no test program uses %s" % archivo)
    todas = set().union(*afectadas.values()) if afectadas else set()
    inicio = time.time()
    if todas and not args.sin_base:
        r = copia.ejecutar(todas, args.tiempo)
        if r.returncode != 0:
            print(r.stdout[-6000:])
            sys.exit("mutantes: the tests fail without any mutant: " + fallos(r.stdout))
    print("mutantes: %d mutants (%d equivalent), %d tests %s in %.0f s"
          % (len(mutantes), len(mutantes) - len(activos), len(todas),
             "not run first" if args.sin_base else "pass unchanged", time.time() - inicio), flush=True)

    muertos, vivos = 0, []
    for m in mutantes:
        if m.equivalente:
            print("%s\n    equivalent: %s" % (m.nombre(), m.equivalente), flush=True)
            continue
        ruta = os.path.join(copia.arbol, m.archivo)
        with open(ruta, encoding="utf-8") as f:
            original = f.read()
        try:
            with open(ruta, "w", encoding="utf-8") as f:
                f.write(original.replace(m.buscar, m.cambiar, 1))
            nombres = afectadas[m.archivo]
            t0 = time.time()
            # The tests of the file's own folder first (src/store/x.cpp:
            # tests/store/), the others only when those let it through: most
            # mutants die there, and building every program is slow.
            carpeta = m.archivo.split("/")[1]
            cerca = {n: p for n, p in nombres.items() if copia.carpeta_de_prueba(p) == carpeta}
            etapas = [cerca, {n: p for n, p in nombres.items() if n not in cerca}]
            r = None
            for etapa in [e for e in etapas if e]:
                ok, salida = copia.construir(set(etapa.values()))
                if not ok:
                    break
                r = copia.ejecutar(etapa.keys(), args.tiempo)
                if r.returncode != 0:
                    break
            if not ok:
                print("%s\n    DOES NOT BUILD: fix the list\n%s" % (m.nombre(), salida[-2000:]), flush=True)
                vivos.append(m)
                continue
            if r.returncode != 0:
                muertos += 1
                print("%s\n    killed by %s [%.0f s]" % (m.nombre(), fallos(r.stdout) or "?", time.time() - t0),
                      flush=True)
            else:
                vivos.append(m)
                print("%s\n    SURVIVED %s [%.0f s]" % (m.nombre(), " ".join(sorted(nombres)), time.time() - t0),
                      flush=True)
        finally:
            copia.restaurar(m.archivo)
    print("mutantes: %d of %d killed" % (muertos, len(activos)))
    return 0 if muertos == len(activos) else 1


if __name__ == "__main__":
    sys.exit(main())
