"""The module frame: registration, the class objects, documentation signatures, failures that must
not take the interpreter down, and the type stub."""

import copy
import importlib.util
import inspect
import pathlib
import pickle
import subprocess
import sys
import textwrap
import weakref

import pytest

import kelvra
from kelvra import PauliString, QuantumCircuit, QuantumGate, QuantumState

REPO = pathlib.Path(__file__).resolve().parent.parent


def run_python(code: str, timeout: float = 120) -> subprocess.CompletedProcess[str]:
    return subprocess.run(
        [sys.executable, "-c", textwrap.dedent(code)],
        capture_output=True,
        text=True,
        timeout=timeout,
    )


def sample_objects():
    c = QuantumCircuit(1)
    return {
        "QuantumGate": QuantumGate.h(0),
        "QuantumCircuit": c,
        "QuantumState": QuantumState.from_circuit(c),
        "PauliString": PauliString.from_str("Z"),
    }


CLASSES = [QuantumGate, QuantumCircuit, QuantumState, PauliString]


def test_all_lists_classes_in_registration_order():
    assert kelvra.__all__ == ["QuantumGate", "QuantumCircuit", "QuantumState", "PauliString"]
    assert [getattr(kelvra, name) for name in kelvra.__all__] == CLASSES
    assert kelvra.__doc__ == ""


def test_second_initialisation_returns_the_first_module():
    first = sys.modules.pop("kelvra")
    try:
        spec = importlib.util.find_spec("kelvra")
        again = importlib.util.module_from_spec(spec)
        assert again is first
    finally:
        sys.modules["kelvra"] = first


def test_sub_interpreter_import_fails_with_import_error():
    try:
        import _testcapi
    except ImportError:
        pytest.skip("_testcapi is not available in this interpreter build")
    result = run_python(
        """
        import _testcapi
        print("before", _testcapi.run_in_subinterp("import kelvra"))
        import kelvra
        print("after", _testcapi.run_in_subinterp("import kelvra"))
        print(kelvra.QuantumCircuit(1))
        """
    )
    assert result.returncode == 0, result.stderr
    assert "before -1\nafter -1\n" in result.stdout
    assert result.stderr.count("ImportError: kelvra cannot be imported in a sub-interpreter") == 2
    assert "QuantumCircuit(num_qubits=1) []" in result.stdout


def test_import_is_silent_with_warnings_as_errors():
    result = subprocess.run(
        [sys.executable, "-W", "error", "-c", "import kelvra"], capture_output=True, text=True, timeout=60
    )
    assert (result.returncode, result.stdout, result.stderr) == (0, "", "")


@pytest.mark.parametrize("cls", [QuantumGate, QuantumState, PauliString], ids=lambda c: c.__name__)
def test_classes_without_constructor(cls):
    with pytest.raises(TypeError, match="^No constructor defined$"):
        cls()
    with pytest.raises(TypeError, match="^No constructor defined$"):
        cls(1, x=2)


@pytest.mark.parametrize("cls", CLASSES, ids=lambda c: c.__name__)
def test_class_shape(cls):
    assert cls.__module__ == "kelvra"
    assert cls.__qualname__ == cls.__name__
    assert cls.__doc__ == ""
    with pytest.raises(TypeError):
        type("Sub", (cls,), {})
    obj = sample_objects()[cls.__name__]
    assert not hasattr(obj, "__dict__")
    with pytest.raises(AttributeError):
        obj.extra = 1
    with pytest.raises(TypeError):
        weakref.ref(obj)
    assert obj == obj and obj != sample_objects()[cls.__name__]
    assert hash(obj) == object.__hash__(obj)
    with pytest.raises(TypeError):
        copy.copy(obj)
    with pytest.raises(TypeError):
        pickle.dumps(obj)


@pytest.mark.parametrize(
    "cls, type_name",
    [(QuantumGate, "QuantumGate"), (QuantumState, "QuantumState"), (PauliString, "kelvra.PauliString")],
    ids=lambda v: getattr(v, "__name__", v),
)
def test_only_pauli_string_has_a_qualified_type_name(cls, type_name):
    with pytest.raises(AttributeError, match=f"^'{type_name}' object has no attribute 'extra'"):
        sample_objects()[cls.__name__].extra = 1


def test_default_repr_of_state_names_the_module():
    assert repr(sample_objects()["QuantumState"]).startswith("<kelvra.QuantumState object at 0x")


@pytest.mark.parametrize(
    "member, text_signature",
    [
        (QuantumCircuit, "(num_qubits)"),
        (QuantumCircuit.apply_cx, "($self, control, target)"),
        (QuantumCircuit.random_clifford, "(n, seed=None)"),
        (QuantumCircuit.to_qasm_file, "($self, path, reg_name)"),
        (QuantumState.sample, "($self, qargs, shots, seed=None)"),
        (QuantumState.apply_h, "($self, qubit)"),
        (QuantumState.from_circuit, "(circuit)"),
        (QuantumGate.ccx, "(control1, control2, target)"),
        (QuantumGate.is_clifford, "($self)"),
        (PauliString.from_str, "(s)"),
    ],
    ids=lambda v: getattr(v, "__qualname__", v),
)
def test_text_signatures(member, text_signature):
    # The documentation string is exactly the signature line and "\n--\n\n", so nothing is left
    # for __doc__ beyond the empty class docstring.
    assert member.__text_signature__ == text_signature
    assert member.__doc__ in ("", None)
    expected = [p.split("=")[0] for p in text_signature.strip("()").split(", ") if p and p != "$self"]
    params = [p for p in inspect.signature(member).parameters if p != "self"]
    assert params == expected


def test_properties_are_read_only_and_undocumented():
    objs = sample_objects()
    for cls, name in [
        (QuantumCircuit, "num_gates"),
        (QuantumGate, "qubits"),
        (QuantumState, "stabilizer_rank"),
        (PauliString, "is_identity"),
    ]:
        assert vars(cls)[name].__doc__ == ""
        with pytest.raises(AttributeError):
            setattr(objs[cls.__name__], name, 1)


@pytest.mark.parametrize(
    "code, message",
    [
        ("QuantumState.from_circuit(QuantumCircuit(2**40))", f"{2**40}-qubit"),
        ("QuantumState.from_circuit(QuantumCircuit(2**64 - 1))", str(2**64 - 1)),
        (
            "c = QuantumCircuit(1)\nfor _ in range(400): c.apply_t(0)\nQuantumState.from_circuit(c)",
            "400 T-type gates",
        ),
        ("QuantumCircuit.random_clifford(2**40)", "random Clifford circuit"),
        ("QuantumCircuit(2**64 - 1).tensor(QuantumCircuit(1))", "tensor product"),
    ],
    ids=["2**40 qubits", "2**64-1 qubits", "400 T gates", "random clifford", "tensor overflow"],
)
def test_impossible_sizes_raise_memory_error(code, message):
    body = textwrap.indent(code, "    ")
    result = run_python(
        f"from kelvra import *\ntry:\n{body}\nexcept MemoryError as e:\n    print('MemoryError:', e)\n",
        timeout=60,
    )
    assert result.returncode == 0, result.stderr
    assert result.stdout.startswith("MemoryError: not enough memory")
    assert message in result.stdout


def test_quickstart_runs_and_type_checks(tmp_path):
    result = subprocess.run(
        [sys.executable, "-W", "error", str(REPO / "examples" / "quickstart.py")],
        capture_output=True,
        text=True,
        timeout=120,
    )
    assert result.returncode == 0, result.stderr
    assert "counts:" in result.stdout
    if importlib.util.find_spec("mypy") is None:
        pytest.skip("mypy is not installed")
    result = subprocess.run(
        [sys.executable, "-m", "mypy", "--strict", "--cache-dir", str(tmp_path), "examples/quickstart.py"],
        capture_output=True,
        text=True,
        cwd=REPO,
        timeout=300,
    )
    assert result.returncode == 0, result.stdout + result.stderr


def test_stub_matches_the_module():
    if importlib.util.find_spec("mypy") is None:
        pytest.skip("mypy is not installed")
    result = subprocess.run(
        [sys.executable, "-m", "mypy.stubtest", "kelvra"], capture_output=True, text=True, cwd=REPO, timeout=300
    )
    assert result.returncode == 0, result.stdout + result.stderr
