#!/usr/bin/env python3
"""Mutation testing for z3config: how many small faults do the tests catch?

Makes one small change (a mutant) at a time in the C++ of device/, bridge/,
app/ or the scene's .js rules, rebuilds only the tests of that folder in a
build folder of its own, runs only those tests and sorts the mutant:

  killed        a test failed
  survived      every test passed: no test notices this fault
  timed out     the tests ran past the per-mutant bound (counted as caught)
  build failed  the change does not compile (not counted in the score)
  equivalent    listed in equivalent.txt: behaves exactly like the original,
                so no test can kill it (not run, not counted)

Score = (killed + timed out) / (killed + survived + timed out).

Operators: relational boundary (< <=, > >=), equality (== !=, === !==),
logic (&& ||), boolean (true false), integer constant +-1, call statement
removed, returned value negated (bool: !, numbers: -; JS: !). Comments,
strings and preprocessor lines are skipped.

The source file is always restored (also on Ctrl-C); a file with
uncommitted changes is refused, so a restore can never lose work.

  tools/mutate/mutate.py                         # default sample (25), all folders
  tools/mutate/mutate.py --sample 40 --seed 7 device bridge/ProfileStore.cpp
  tools/mutate/mutate.py --list device           # the mutants, nothing run
"""

import argparse
import glob
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DEFAULT_PATHS = ["device", "bridge", "app", "modules/qml"]
# Sized for about 30 minutes on 2 idle cores (estimate in docs/testing.md):
# an app/ mutant reruns the real-window scenarios and costs minutes.
DEFAULT_SAMPLE = 25
DEFAULT_SEED = 15

# Folder of a source -> ctest prefix of its tests.
TEST_PREFIX = {"device": "device_", "bridge": "bridge_", "app": "app_", "modules": "qml_"}


class Mutant:
    def __init__(self, path, line, col, op, original, mutated):
        self.path, self.line, self.col = path, line, col
        self.op, self.original, self.mutated = op, original, mutated
        self.result = None
        self.source = ""

    def where(self):
        return "%s:%d" % (self.path, self.line)


# ---- lexing: which characters are code --------------------------------------

def code_mask(text, js):
    """True for every character that is code (not comment, string, char
    literal or preprocessor line)."""
    mask = [True] * len(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not js and line_start and c == "#":
            # Preprocessor line, with continuations.
            j = i
            while j < n and (text[j] != "\n" or text[j - 1] == "\\"):
                j += 1
            for k in range(i, j):
                mask[k] = False
            i = j
            continue
        if not c.isspace():
            line_start = False
        two = text[i:i + 2]
        if two == "//":
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif two == "/*":
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif not js and c == "R" and text[i + 1:i + 2] == '"' and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i + 2)
            delim = text[i + 2:k]
            end = text.find(")" + delim + '"', k)
            j = n if end < 0 else end + len(delim) + 2
        elif c == '"' or c == "'" or (js and c == "`"):
            j = i + 1
            while j < n and text[j] != c:
                if text[j] == "\\":
                    j += 1
                elif text[j] == "\n" and c != "`":
                    break
                j += 1
            j = min(n, j + 1)
            if not js and c == "'" and i > 0 and text[i - 1].isdigit():
                # C++14 digit separator, not a char literal.
                i += 1
                continue
        else:
            i += 1
            continue
        for k in range(i, j):
            mask[k] = False
        i = j
    return mask


# ---- operators ----------------------------------------------------------------

SYMBOL_SWAPS = {
    "<=": "<", ">=": ">", "===": "!==", "!==": "===", "==": "!=", "!=": "==",
    "&&": "||", "||": "&&",
}
SYMBOL_RE = re.compile(r"===|!==|==|!=|<=|>=|&&|\|\|")
# A bare < or > between spaces is a comparison in this code's style
# (templates, streams and arrows have no spaces around them).
BARE_CMP_RE = re.compile(r"(?<=[^<>\-=\s] )([<>])(?= [^<>=])")
BOOL_RE = re.compile(r"\b(true|false)\b")
INT_RE = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])")
CALL_KEYWORDS = {"return", "if", "while", "for", "switch", "case", "delete", "throw", "else",
                 "do", "sizeof", "new", "typedef", "using", "goto", "var", "let", "const",
                 "function", "import", "signal", "property"}
CALL_RE = re.compile(r"^(\s*)((?:emit\s+)?[A-Za-z_][\w:.\->\[\]]*\s*\(.*\)(?:\s*\.\s*\w+\s*\(.*\))*)\s*(;?)\s*$")
RETURN_RE = re.compile(r"^(\s*return\s+)(.+?)(\s*;?\s*)$")
FUNC_HEAD_RE = re.compile(r"^(?:static\s+|inline\s+|constexpr\s+)*([A-Za-z_][\w:<>, *&]*?)[\s*&]+[\w:~]+\s*\(")
BOOL_TYPES = {"bool"}
NUMBER_TYPES = {"int", "uint", "unsigned", "long", "short", "char", "uchar", "double", "float",
                "qint8", "qint16", "qint32", "qint64", "quint8", "quint16", "quint32", "quint64",
                "qsizetype", "size_t", "int8_t", "int16_t", "int32_t", "int64_t", "uint8_t",
                "uint16_t", "uint32_t", "uint64_t", "qreal"}


def balanced(s):
    depth = 0
    for ch in s:
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


def return_type(lines, index):
    """The declared return type of the function around line `index` (C++
    definitions start at column 0 in this code), or None."""
    for k in range(index - 1, -1, -1):
        head = lines[k]
        if not head or head[0].isspace() or head.startswith(("}", "{", "#", "//", "/*", "*")):
            continue
        m = FUNC_HEAD_RE.match(head)
        if not m:
            return None
        words = [w for w in re.split(r"[\s]+", m.group(1).strip()) if w not in ("const", "static", "inline")]
        return " ".join(words)
    return None


def mutants_of(path):
    rel = os.path.relpath(path, ROOT)
    js = path.endswith(".js")
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        text = f.read()
    mask = code_mask(text, js)
    out = []
    lines = text.split("\n")
    masked_lines = []
    offset = 0
    for index, line in enumerate(lines):
        lmask = mask[offset:offset + len(line)]
        masked = "".join(ch if ok else "_" for ch, ok in zip(line, lmask))
        lineno = index + 1

        def add(col, length, op, replacement):
            out.append(Mutant(rel, lineno, col, op, line[col:col + length], replacement))
            out[-1].source = line.strip()

        for m in SYMBOL_RE.finditer(masked):
            sym = m.group(0)
            # operator<= and friends are names, not comparisons.
            if masked[max(0, m.start() - 8):m.start()].endswith("operator"):
                continue
            if sym in ("&&", "||"):
                # "T &&x" is a reference; the logic operator has spaces around it.
                if masked[m.start() - 1:m.start()] != " " or masked[m.end():m.end() + 1] != " ":
                    continue
                add(m.start(), 2, "logic", SYMBOL_SWAPS[sym])
            elif sym in ("<=", ">="):
                if masked[m.end():m.end() + 1] in ("=", ">") or masked[m.start() - 1:m.start()] in ("<", ">"):
                    continue
                add(m.start(), 2, "relational", SYMBOL_SWAPS[sym])
            else:
                if not js and sym in ("===", "!=="):
                    continue
                add(m.start(), len(sym), "equality", SYMBOL_SWAPS[sym])
        for m in BARE_CMP_RE.finditer(masked):
            add(m.start(1), 1, "relational", m.group(1) + "=")
        for m in BOOL_RE.finditer(masked):
            add(m.start(), len(m.group(0)), "boolean", "false" if m.group(0) == "true" else "true")
        for m in INT_RE.finditer(masked):
            digits, suffix = m.group(1), m.group(2)
            hexa = digits.lower().startswith("0x")
            if not hexa and len(digits) > 1 and digits.startswith("0"):
                continue  # octal: rare, leave alone
            value = int(digits, 16 if hexa else 10)
            for delta in ((1,) if value == 0 else (1, -1)):
                v = value + delta
                new = ("0x%0*X" % (len(digits) - 2, v) if hexa else str(v)) + suffix
                add(m.start(), len(m.group(0)), "constant", new)
        cm = CALL_RE.match(masked)
        if cm and balanced(cm.group(2)) and cm.group(3):
            first = re.match(r"[A-Za-z_]\w*", cm.group(2).lstrip()).group(0)
            # A continuation line (the previous line ends mid-expression) is no statement;
            # removed logging only makes equivalent mutants.
            prev = next((l.strip() for l in reversed(masked_lines) if l.strip().strip("_")), ";")
            statement = prev.endswith((";", "{", "}", ")", ":", "else", "_"))
            if statement and first not in CALL_KEYWORDS and not first.startswith("Q_") \
                    and first not in ("qDebug", "qInfo", "qWarning", "qCritical", "console"):
                start = len(cm.group(1))
                stmt = line[start:].rstrip()
                add(start, len(stmt), "call-removed", ";")
        rm = RETURN_RE.match(masked)
        if rm:
            expr = rm.group(2).strip()
            if expr and expr not in ("true", "false", "nullptr", "{}", "QString()", "QVariant()") \
                    and balanced(expr) and masked.rstrip().endswith(";"):
                start = len(rm.group(1))
                original = line[start:start + len(rm.group(2))]
                if js:
                    add(start, len(original), "return-negated", "!(" + original + ")")
                else:
                    rtype = return_type(lines, index)
                    if rtype in BOOL_TYPES:
                        add(start, len(original), "return-negated", "!(" + original + ")")
                    elif rtype in NUMBER_TYPES or (rtype or "").split(" ")[-1] in NUMBER_TYPES:
                        add(start, len(original), "return-negated", "-(" + original + ")")
        masked_lines.append(masked)
        offset += len(line) + 1
    # Keep only mutants that change nothing but code characters.
    keep = []
    starts = []
    o = 0
    for line in lines:
        starts.append(o)
        o += len(line) + 1
    for mu in out:
        s = starts[mu.line - 1] + mu.col
        if mu.op == "call-removed" or mu.op == "return-negated" or all(mask[s:s + len(mu.original)]):
            keep.append(mu)
    return keep


def source_files(paths):
    files = []
    for p in paths:
        full = os.path.join(ROOT, p)
        if os.path.isdir(full):
            cands = glob.glob(os.path.join(full, "**", "*"), recursive=True)
        else:
            cands = glob.glob(full)
        for f in sorted(cands):
            rel = os.path.relpath(f, ROOT)
            top = rel.split(os.sep)[0]
            if top not in TEST_PREFIX:
                continue
            if top == "modules":
                ok = f.endswith(".js")
            else:
                # Windows-only sources are not built here: their mutants could only survive.
                ok = f.endswith((".cpp", ".h")) and not f.endswith(("_win.cpp",))
            if ok and os.path.isfile(f) and f not in files:
                files.append(f)
    return files


# ---- running ----------------------------------------------------------------------

def run(cmd, timeout=None, env=None, cwd=ROOT):
    """(returncode or None on timeout, output)."""
    p = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         text=True, errors="replace", start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
        return p.returncode, out
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        out, _ = p.communicate()
        return None, out
    except BaseException:
        # Ctrl-C: the build or tests must not go on with a mutant in place.
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()
        raise


class Runner:
    def __init__(self, args):
        self.args = args
        self.build = os.path.abspath(os.path.join(ROOT, args.build_dir))
        self.env = dict(os.environ)
        self.xvfb = None
        self.targets = {}
        self.baseline = {}
        self.excluded = {}

    def start_display(self):
        if self.env.get("DISPLAY") and run(["xdpyinfo"], 10, self.env)[0] == 0:
            return
        fd_file = tempfile.NamedTemporaryFile(delete=False)
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(fd_file.fileno()), "-screen", "0",
                                      "1280x1024x24", "-nolisten", "tcp"],
                                     pass_fds=(fd_file.fileno(),), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        for _ in range(200):
            with open(fd_file.name) as f:
                num = f.read().strip()
            if num:
                break
            time.sleep(0.05)
        os.unlink(fd_file.name)
        self.env["DISPLAY"] = ":" + num

    def stop_display(self):
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    def configure(self, folders):
        # Configured every time: test programs added or removed since the last run
        # must be what ctest lists.
        fresh = not os.path.exists(os.path.join(self.build, "CMakeCache.txt"))
        code, out = run(["cmake", "-S", ROOT, "-B", self.build]
                        + (["-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo"] if fresh else []), env=self.env)
        if code != 0:
            sys.exit("mutate: configure failed:\n" + out)
        code, out = run(["ctest", "--test-dir", self.build, "-N"], env=self.env)
        names = re.findall(r"Test\s+#\d+: (\S+)", out)
        for folder, prefix in TEST_PREFIX.items():
            tests = [t for t in names if t.startswith(prefix)]
            # qml_* cases all run the one runner, which reads the scene from the sources.
            self.targets[folder] = ["tst_qml_runner"] if folder == "modules" else tests
        wanted = sorted({t for f in folders for t in self.targets[f]})
        code, out = run(["cmake", "--build", self.build, "-j%d" % self.args.jobs, "--target"] + wanted,
                        env=self.env)
        if code != 0:
            sys.exit("mutate: the unmutated build fails:\n" + out[-3000:])

    def ctest(self, folder, timeout):
        prefix = TEST_PREFIX[folder]
        cmd = ["ctest", "--test-dir", self.build, "-R", "^" + prefix, "-j%d" % self.args.jobs,
               "--timeout", str(int(timeout)), "--stop-on-failure"]
        if self.excluded.get(folder):
            cmd += ["-E", "^(" + "|".join(map(re.escape, self.excluded[folder])) + ")$"]
        return run(cmd, timeout=timeout * 2 + 60, env=self.env)

    def measure_baseline(self, folder):
        """Runs the unmutated tests of a folder: their time sets the bound,
        and tests that fail already are left out of the mutant runs."""
        if folder in self.baseline:
            return
        start = time.time()
        code, out = self.ctest(folder, 600)
        elapsed = time.time() - start
        failed = re.findall(r"^\s*\d+ - (\S+) \(", out, re.M)
        if failed:
            print("mutate: left out, failing without any mutant: %s" % " ".join(failed), flush=True)
            self.excluded[folder] = failed
        self.baseline[folder] = elapsed
        print("mutate: %s tests take %.0f s unmutated" % (folder, elapsed), flush=True)

    def test_mutant(self, mu):
        folder = mu.path.split(os.sep)[0]
        self.measure_baseline(folder)
        full = os.path.join(ROOT, mu.path)
        with open(full, "rb") as f:
            original = f.read()
        text = original.decode("utf-8", errors="surrogateescape")
        lines = text.split("\n")
        line = lines[mu.line - 1]
        assert line[mu.col:mu.col + len(mu.original)] == mu.original, mu.where()
        lines[mu.line - 1] = line[:mu.col] + mu.mutated + line[mu.col + len(mu.original):]
        try:
            with open(full, "wb") as f:
                f.write("\n".join(lines).encode("utf-8", errors="surrogateescape"))
            code, out = run(["cmake", "--build", self.build, "-j%d" % self.args.jobs, "--target"]
                            + self.targets[folder], timeout=self.args.build_timeout, env=self.env)
            if code != 0:
                return "build failed"
            bound = self.args.timeout or max(60, 3 * self.baseline[folder])
            code, out = self.ctest(folder, bound)
            if code is None:
                return "timed out"
            if code == 0:
                return "survived"
            reasons = re.findall(r"^\s*\d+ - \S+ \(([^)]*)\)", out, re.M)
            if reasons and all(r == "Timeout" for r in reasons):
                return "timed out"
            return "killed"
        finally:
            with open(full, "wb") as f:
                f.write(original)


def check_clean(files):
    rels = [os.path.relpath(f, ROOT) for f in files]
    code, out = run(["git", "status", "--porcelain", "--"] + rels)
    if code != 0:
        sys.exit("mutate: not a git tree?\n" + out)
    if out.strip():
        sys.exit("mutate: these files have uncommitted changes; commit them or restore them "
                 "(git checkout -- FILE) before mutating:\n" + out)


EQUIVALENT_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "equivalent.txt")


def load_equivalents():
    """Mutants that behave exactly like the original, each with the reason:
    file | operator | the source line | original -> mutated | why. No test can
    kill them, so they are reported apart and left out of the score."""
    known = set()
    if os.path.exists(EQUIVALENT_FILE):
        for raw in open(EQUIVALENT_FILE, encoding="utf-8"):
            if raw.strip() and not raw.startswith("#"):
                fields = [f.strip() for f in raw.split("|")]
                if len(fields) >= 4:
                    known.add(tuple(fields[:4]))
    return known


def is_equivalent(m, known):
    return (m.path, m.op, m.source, "%s -> %s" % (m.original.strip(), m.mutated)) in known


def report(mutants):
    done = [m for m in mutants if m.result]
    per_file = {}
    for m in done:
        per_file.setdefault(m.path, {"killed": 0, "survived": 0, "timed out": 0, "build failed": 0,
                                    "equivalent": 0})
        per_file[m.path][m.result] += 1
    total = {"killed": 0, "survived": 0, "timed out": 0, "build failed": 0, "equivalent": 0}
    print("\n%-44s %6s %8s %9s %12s %10s %6s" % ("file", "killed", "survived", "timed out", "build failed",
                                                 "equivalent", "score"))
    for path in sorted(per_file):
        c = per_file[path]
        for k in total:
            total[k] += c[k]
        print("%-44s %6d %8d %9d %12d %10d %6s" % (path, c["killed"], c["survived"], c["timed out"],
                                                   c["build failed"], c["equivalent"], score(c)))
    print("%-44s %6d %8d %9d %12d %10d %6s" % ("TOTAL", total["killed"], total["survived"], total["timed out"],
                                               total["build failed"], total["equivalent"], score(total)))
    survivors = [m for m in done if m.result == "survived"]
    if survivors:
        print("\nSurvivors:")
        for m in survivors:
            print("  %s  %s  %s -> %s" % (m.where(), m.op, m.original.strip(), m.mutated))
    return total


def balanced_sample(mutants, size, seed):
    """An equal share per operator (the rest from the others when one has too
    few), so the many integer constants of the key tables do not crowd out the
    comparisons and calls."""
    rng = random.Random(seed)
    by_op = {}
    for m in mutants:
        by_op.setdefault(m.op, []).append(m)
    for op in sorted(by_op):
        rng.shuffle(by_op[op])
    picked = []
    ops = sorted(by_op)
    while len(picked) < size:
        for op in ops:
            if by_op[op] and len(picked) < size:
                picked.append(by_op[op].pop())
    return picked


def score(c):
    judged = c["killed"] + c["survived"] + c["timed out"]
    if judged == 0:
        return "-"
    return "%d%%" % round(100.0 * (c["killed"] + c["timed out"]) / judged)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("paths", nargs="*", default=DEFAULT_PATHS,
                    help="folders or files (globs) to mutate, relative to the source root")
    ap.add_argument("--sample", type=int, default=DEFAULT_SAMPLE, help="mutants to run (0: all)")
    ap.add_argument("--seed", type=int, default=DEFAULT_SEED)
    ap.add_argument("--build-dir", default="build-mutate", help="its own build folder")
    ap.add_argument("--timeout", type=float, default=0,
                    help="seconds per mutant's tests (default: 3 x the unmutated time, at least 60)")
    ap.add_argument("--build-timeout", type=float, default=900)
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--operators", default="", help="comma-separated subset of operators")
    ap.add_argument("--list", action="store_true", help="print the sampled mutants and stop")
    ap.add_argument("--within", default="",
                    help="after sampling, keep only mutants under these comma-separated path prefixes "
                         "(rerun one area of a fixed sample)")
    args = ap.parse_args()

    files = source_files(args.paths)
    if not files:
        sys.exit("mutate: no sources match " + " ".join(args.paths))
    mutants = []
    for f in files:
        mutants += mutants_of(f)
    if args.operators:
        wanted = set(args.operators.split(","))
        mutants = [m for m in mutants if m.op in wanted]
    population = len(mutants)
    if args.sample and args.sample < len(mutants):
        mutants = balanced_sample(mutants, args.sample, args.seed)
    if args.within:
        prefixes = tuple(args.within.split(","))
        mutants = [m for m in mutants if m.path.startswith(prefixes)]
    mutants.sort(key=lambda m: (m.path, m.line, m.col))
    print("mutate: %d of %d mutants in %d files, seed %d" % (len(mutants), population, len(files), args.seed),
          flush=True)
    if args.list:
        for m in mutants:
            print("  %s  %s  %s -> %s" % (m.where(), m.op, m.original.strip(), m.mutated))
        return 0

    check_clean(sorted({os.path.join(ROOT, m.path) for m in mutants}))
    runner = Runner(args)
    equivalents = load_equivalents()
    # A termination request restores the file like Ctrl-C does.
    def interrupt(*_):
        raise KeyboardInterrupt()
    signal.signal(signal.SIGTERM, interrupt)
    signal.signal(signal.SIGINT, interrupt)  # also when started with SIGINT ignored
    started = time.time()
    try:
        runner.start_display()
        runner.configure(sorted({m.path.split(os.sep)[0] for m in mutants}))
        for i, m in enumerate(mutants, 1):
            t = time.time()
            m.result = "equivalent" if is_equivalent(m, equivalents) else runner.test_mutant(m)
            print("[%d/%d] %-12s %s  %s  %s -> %s  (%.0f s)" % (i, len(mutants), m.result, m.where(), m.op,
                                                               m.original.strip(), m.mutated, time.time() - t),
                  flush=True)
    except KeyboardInterrupt:
        print("\nmutate: interrupted; the source files are restored", flush=True)
    finally:
        runner.stop_display()
    report(mutants)
    print("\nmutate: %.0f s for %d mutants" % (time.time() - started, len([m for m in mutants if m.result])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
