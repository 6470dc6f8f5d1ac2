"""OpenQASM 2 from Python: text and file round trips and the prefixed errors."""

import os
import subprocess
import sys
import textwrap

import pytest

from kelvra import QuantumCircuit


def every_gate_circuit():
    c = QuantumCircuit(4)
    for name in ("h", "x", "y", "z", "s", "sdg", "sqrt_x", "sqrt_xdg", "t", "tdg"):
        getattr(c, "apply_" + name)(3)
    c.apply_cx(0, 1)
    c.apply_cz(2, 3)
    c.apply_swap(1, 2)
    c.apply_ccx(0, 1, 3)
    return c


@pytest.mark.parametrize("reg", ["q", "reg_2", "Q"])
def test_text_round_trip(reg):
    c = every_gate_circuit()
    text = c.to_qasm_str(reg)
    assert text.startswith(f'OPENQASM 2.0;\ninclude "qelib1.inc";\nqreg {reg}[4];\nh {reg}[3];\n')
    assert not text.endswith("\n")
    back = QuantumCircuit.from_qasm_str(text)
    assert (str(back), back.num_qubits) == (str(c), 4)


def test_writer_lines():
    c = QuantumCircuit(2)
    c.apply_h(0)
    c.apply_cx(0, 1)
    assert c.to_qasm_str("q") == 'OPENQASM 2.0;\ninclude "qelib1.inc";\nqreg q[2];\nh q[0];\ncx q[0], q[1];'


@pytest.mark.parametrize(
    "text, detail",
    [
        ("qreg q[1];\nbarrier q[0];", "Unrecognized or malformed line: barrier q[0];"),
        ("h q[0];", "qreg declaration not found in QASM string."),
        ("qreg q[1];\nqreg r[1];", "Multiple qreg declarations are not supported."),
    ],
    ids=["barrier", "no qreg", "two qregs"],
)
def test_parse_errors(text, detail):
    with pytest.raises(ValueError) as info:
        QuantumCircuit.from_qasm_str(text)
    assert str(info.value) == "Failed to parse QASM string: QASM parsing error: " + detail


def test_file_round_trip(tmp_path):
    path = tmp_path / "c.qasm"
    c = every_gate_circuit()
    assert c.to_qasm_file(str(path), "q") is None
    assert path.read_text() == c.to_qasm_str("q")
    assert str(QuantumCircuit.from_qasm_file(str(path))) == str(c)


def test_reading_failures_are_file_not_found(tmp_path):
    missing = tmp_path / "missing.qasm"
    with pytest.raises(FileNotFoundError) as info:
        QuantumCircuit.from_qasm_file(str(missing))
    assert str(info.value).startswith(f"Failed to read QASM file: QASM parsing error: Failed to read file '{missing}': ")
    assert info.value.args == (str(info.value),)

    bad = tmp_path / "bad.qasm"
    bad.write_text("qreg q[1];\nreset q[0];\n")
    with pytest.raises(FileNotFoundError, match=r"^Failed to read QASM file: QASM parsing error: Unrecognized or malformed line: reset q\[0\];$"):
        QuantumCircuit.from_qasm_file(str(bad))

    not_utf8 = tmp_path / "latin1.qasm"
    not_utf8.write_bytes(b"qreg q[1];\n// \xe9\n")
    with pytest.raises(FileNotFoundError, match="^Failed to read QASM file: "):
        QuantumCircuit.from_qasm_file(str(not_utf8))


def test_write_failures_are_value_errors(tmp_path):
    c = every_gate_circuit()
    with pytest.raises(ValueError, match="^Failed to write QASM file: IO error: "):
        c.to_qasm_file(str(tmp_path / "no" / "such" / "dir.qasm"), "q")
    with pytest.raises(ValueError, match="^Failed to write QASM file: IO error: "):
        c.to_qasm_file(str(tmp_path / "a.qasm") + "\0.txt", "q")
    assert os.listdir(tmp_path) == []
    assert c.num_gates == 14


def test_measure_lines_warn_on_standard_error():
    code = textwrap.dedent(
        """
        import sys, warnings
        warnings.simplefilter("error")
        from kelvra import QuantumCircuit
        c = QuantumCircuit.from_qasm_str("OPENQASM 2.0;\\nqreg q[1];\\nh q[0];\\nmeasure q[0] -> c[0];")
        print(c)
        """
    )
    result = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    assert result.stdout == "QuantumCircuit(num_qubits=1) [H(0)]\n"
    assert result.stderr == "[Warning] Line 4: `measure` operation is ignored by the parser.\n"
