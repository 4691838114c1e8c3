# Generates fortran_format_reference.f90 (the reference program) and the
# table of write cases in fortran_format_write_cases.inc from one list, so the
# C++ test and the Fortran program print the same values under the same
# formats. The expected strings come from running the Fortran program:
#
#   python3 fortran_format_cases.py program > fortran_format_reference.f90
#   gfortran -o ref fortran_format_reference.f90 && ./ref > ref.txt
#   python3 fortran_format_cases.py table ref.txt > fortran_format_write_cases.inc
#
# (GNU Fortran 12.2.0, Debian 12). The tests only read the .inc file.
import sys

# value kinds: r float (REAL), d double, i int, s text, and the non-finite
# floats inf, minf, nan.
CASES = [
    # I
    ("(i6)", [("i", "42")]),
    ("(i6)", [("i", "-42")]),
    ("(i4)", [("i", "12345")]),
    ("(i4)", [("i", "-999")]),
    ("(i3)", [("i", "-999")]),
    ("(i4.3)", [("i", "5")]),
    ("(i4.3)", [("i", "-5")]),
    ("(i4.0)", [("i", "0")]),
    ("(i0)", [("i", "-42")]),
    ("(i1)", [("i", "0")]),
    ("(i11)", [("i", "-2147483647")]),
    ("(10i6)", [("i", str(v)) for v in [1, -2, 33, 444, 5555, 66666, -7777, 0, 9, 10]]),
    # F: rounding from the exact binary value, ties to even
    ("(f5.2)", [("d", "0.125d0")]),
    ("(f4.2)", [("r", "0.145")]),
    ("(f4.1)", [("d", "0.25d0")]),
    ("(f3.0)", [("d", "2.5d0")]),
    ("(f3.0)", [("d", "3.5d0")]),
    ("(f7.2)", [("r", "1.005")]),
    ("(f7.2)", [("d", "1.005d0")]),
    ("(f7.2)", [("d", "0.015d0")]),
    ("(f5.1)", [("r", "0.05")]),
    ("(f5.2)", [("r", "1.115")]),
    ("(f5.2)", [("d", "1.115d0")]),
    ("(f5.2)", [("r", "2.675")]),
    ("(f12.10)", [("r", "0.1")]),
    ("(f12.10)", [("d", "0.1d0")]),
    ("(f15.6)", [("r", "16777217.0")]),
    ("(f12.3)", [("r", "1234567.891")]),
    ("(f8.3)", [("r", "3.14159")]),
    ("(f8.3)", [("r", "-3.14159")]),
    ("(f6.3)", [("r", "-0.0001")]),
    ("(f6.3)", [("r", "-0.0")]),
    ("(f5.3)", [("r", "-0.0001")]),
    ("(f4.3)", [("r", "-0.0001")]),
    ("(f4.3)", [("r", "0.123")]),
    ("(f5.3)", [("r", "0.123")]),
    ("(f5.3)", [("r", "-0.123")]),
    ("(f4.3)", [("r", "-0.123")]),
    ("(f2.0)", [("r", "0.3")]),
    ("(f1.0)", [("r", "0.3")]),
    ("(f6.2)", [("r", "999.99")]),
    ("(f6.2)", [("r", "999.995")]),
    ("(f6.2)", [("r", "-99.99")]),
    ("(f6.2)", [("r", "-999.99")]),
    ("(f10.0)", [("r", "1234.5")]),
    ("(f0.3)", [("d", "12.3456d0")]),
    ("(f0.3)", [("d", "0.3456d0")]),
    ("(f8.3)", [("d", "1.0d10")]),
    ("(f40.3)", [("d", "1.0d30")]),
    ("(f8.3)", [("inf", "")]),
    ("(f3.3)", [("inf", "")]),
    ("(f8.3)", [("minf", "")]),
    ("(f4.3)", [("minf", "")]),
    ("(f8.3)", [("nan", "")]),
    ("(f9.3)", [("minf", "")]),
    # E and D
    ("(e12.4)", [("r", "123.456")]),
    ("(e10.4)", [("r", "123.456")]),
    ("(e9.4)", [("r", "123.456")]),
    ("(e9.4)", [("r", "-123.456")]),
    ("(e12.4)", [("d", "1.0d150")]),
    ("(e12.4e3)", [("d", "1.0d150")]),
    ("(e12.4)", [("d", "1.0d-150")]),
    ("(e12.4e1)", [("d", "1.0d-15")]),
    ("(d12.4)", [("r", "123.456")]),
    ("(e12.4)", [("r", "0.0")]),
    ("(e10.3)", [("r", "9.9996")]),
    ("(e14.6)", [("r", "-0.000123456")]),
    ("(e15.7)", [("d", "0.1d0")]),
    ("(e15.8)", [("r", "0.1")]),
    # G
    ("(g12.4)", [("r", "0.0")]),
    ("(g12.4)", [("r", "123.456")]),
    ("(g12.4)", [("r", "0.01")]),
    ("(g12.4)", [("r", "99999.0")]),
    ("(g12.4)", [("r", "9999.6")]),
    ("(g12.4)", [("r", "0.09996")]),
    ("(g12.4)", [("r", "0.099996")]),
    ("(g12.4)", [("r", "-1.5")]),
    ("(g12.4)", [("i", "42")]),
    ("(g14.5e3)", [("r", "3.25")]),
    # A
    ("(a)", [("s", "abc")]),
    ("(a8)", [("s", "ab")]),
    ("(a1)", [("s", "abc")]),
    ("(a3,a)", [("s", "abcdef"), ("s", "]")]),
    # positioning, literals, records
    ("(a,5x,a)", [("s", "["), ("s", "]")]),
    ("(a,5x)", [("s", "[")]),
    ("(a,t10,a,tl3,a)", [("s", "abc"), ("s", "def"), ("s", "X")]),
    ("(a,tr2,a)", [("s", "ab"), ("s", "cd")]),
    ("(t5,a,t1,a)", [("s", "xy"), ("s", "z")]),
    ("(1x,'n =',i4,' done')", [("i", "7")]),
    ("('it''s',i2)", [("i", "3")]),
    ("(2i3)", [("i", str(v)) for v in [1, 2, 3, 4, 5]]),
    ("(i2,2(i3,i4))", [("i", str(v)) for v in range(1, 9)]),
    ("(i4/)", [("i", "5")]),
    ("(i4/i4)", [("i", "5"), ("i", "6")]),
    ("(i2,2/i2)", [("i", "5"), ("i", "6")]),
    ("(a8,i4,10i6)", [("s", "ABC01A"), ("i", "1901")] + [("i", str(v)) for v in [123, 45, 67, 8, 999, 1000, 2, 3, 4, 5]]),
    ("(a6,i4,10(f4.3,i3))", [("s", "SITE"), ("i", "-1000")] + sum([[("r", x), ("i", n)] for x, n in
        [("0.999", "12"), ("1.0", "1"), ("0.5", "999"), ("1.234", "10"), ("0.0005", "3"), ("9.9995", "2"),
         ("0.0", "0"), ("0.25", "7"), ("10.0", "5"), ("0.001", "4")]], [])),
    ("(2(i3,:,','))", [("i", "1"), ("i", "2")]),
    ("(i2,:/,i2)", [("i", "1")]),
    ("(i2,/,i2)", [("i", "1"), ("i", "2")]),
    ("(i3,2(1x,f5.1))", [("i", "1"), ("r", "1.25"), ("r", "2.75"), ("r", "3.25"), ("r", "4.75")]),
    ("(i3,(1x,f5.1))", [("i", "1"), ("r", "1.25"), ("r", "2.75"), ("r", "3.25")]),
    ("(2(2(i2)),i3)", [("i", str(v)) for v in range(1, 8)]),
]


def fortran_value(kind, text):
    if kind == "i":
        return text
    if kind == "r":
        return text
    if kind == "d":
        return text
    if kind == "s":
        return "'" + text.replace("'", "''") + "'"
    return {"inf": "pinf", "minf": "minf", "nan": "qnan"}[kind]


def cpp_value(kind, text):
    if kind == "i":
        return text
    if kind == "r":
        t = text if ("." in text or "e" in text) else text + ".0"
        return t + "f"
    if kind == "d":
        return text.replace("d", "e")
    if kind == "s":
        return "std::string_view(\"" + text + "\")"
    return {"inf": "kInf", "minf": "-kInf", "nan": "kNaN"}[kind]


def program():
    print("! Reference strings for the edit-descriptor writer (see fortran_format_cases.py).")
    print("program fortran_format_reference")
    print("  implicit none")
    print("  real :: pinf, minf, qnan, zero")
    print("  zero = 0.0")
    print("  pinf = 1.0 / zero")
    print("  minf = -1.0 / zero")
    print("  qnan = zero / zero")
    for n, (f, vals) in enumerate(CASES):
        print("  write(*,'(a,i0)') '#', %d" % n)
        args = [fortran_value(k, t) for k, t in vals]
        chunks = [", ".join(args[i:i + 8]) for i in range(0, len(args), 8)]
        print("  write(*,\"%s\") %s" % (f, ", &\n      ".join(chunks)))
    print("  write(*,'(a)') '#end'")
    print("end program fortran_format_reference")


def table(path):
    lines = open(path).read().split("\n")
    outs = {}
    cur = None
    for line in lines:
        if line.startswith("#"):
            cur = None if line == "#end" else int(line[1:])
            if cur is not None:
                outs[cur] = []
            continue
        if cur is not None:
            outs[cur].append(line)
    for n, (f, vals) in enumerate(CASES):
        expected = "\\n".join(outs[n]).replace("\\", "\\\\").replace("\"", "\\\"") if False else "\\n".join(
            s.replace("\\", "\\\\").replace("\"", "\\\"") for s in outs[n])
        print("{\"%s\", {%s}, \"%s\"}," % (f, ", ".join("WriteValue(%s)" % cpp_value(k, t) for k, t in vals), expected))


if __name__ == "__main__":
    if sys.argv[1] == "program":
        program()
    else:
        table(sys.argv[2])
