"""PauliString: parsing, text forms and the identity test."""

import pytest

from kelvra import PauliString

PARSED = [
    # text, printed form, identity
    ("XIZ", "XIZ", False),
    ("YYXZ", "YYXZ", False),
    ("II", "II", True),
    ("", "I", True),
    ("   ", "I", True),
    ("I", "I", True),
    (" i ", "I", True),
    ("x0 Y3  z1", "X0 Y3 Z1", False),
    ("Z007", "Z7", False),
]


@pytest.mark.parametrize("text, printed, identity", PARSED, ids=[repr(t) for t, _, _ in PARSED])
def test_parse_and_print(text, printed, identity):
    p = PauliString.from_str(text)
    assert (str(p), repr(p), p.is_identity) == (printed, f"PauliString('{printed}')", identity)


INVALID = [
    ("XyZ", "invalid character 'y' at position 1 in dense PauliString"),
    ("X Z", "invalid character ' ' at position 1 in dense PauliString"),
    ("-XZ", "invalid character '-' at position 0 in dense PauliString"),
    ("X1 Y1", "duplicate Pauli operator on qubit 1 in string: 'X1 Y1'"),
    ("X1 Q2", "invalid sparse Pauli term: 'Q2' in string: 'X1 Q2'"),
    ("X 1", "invalid sparse Pauli term: 'X' in string: 'X 1'"),
    ("X" + "9" * 20, "invalid qubit index: " + "9" * 20),
]


@pytest.mark.parametrize("text, detail", INVALID, ids=[t[:8] for t, _ in INVALID])
def test_invalid_text(text, detail):
    with pytest.raises(ValueError) as info:
        PauliString.from_str(text)
    assert str(info.value) == "Invalid Pauli string format: Pauli string parsing error: " + detail


def test_objects_compare_by_identity():
    a, b = PauliString.from_str("XZ"), PauliString.from_str("XZ")
    assert a != b and str(a) == str(b)


def test_text_must_be_str():
    with pytest.raises(TypeError, match="^argument 's': 'int' object cannot be converted to 'str'$"):
        PauliString.from_str(5)
