"""QuantumCircuit and QuantumGate: building, reading back and combining circuits."""

import pytest

from kelvra import QuantumCircuit, QuantumGate, QuantumState

GATES = [
    # constructor, arguments, name, text, Clifford, T-type
    ("h", (0,), "H", "H(0)", True, False),
    ("x", (1,), "X", "X(1)", True, False),
    ("y", (2,), "Y", "Y(2)", True, False),
    ("z", (3,), "Z", "Z(3)", True, False),
    ("s", (4,), "S", "S(4)", True, False),
    ("sdg", (5,), "Sdg", "Sdg(5)", True, False),
    ("sqrt_x", (3,), "SqrtX", "SqrtX(3)", True, False),
    ("sqrt_xdg", (7,), "SqrtXdg", "SqrtXdg(7)", True, False),
    ("cx", (0, 1), "CX", "CX(0, 1)", True, False),
    ("cz", (2, 1), "CZ", "CZ(2, 1)", True, False),
    ("swap", (3, 3), "Swap", "Swap(3, 3)", True, False),
    ("t", (0,), "T", "T(0)", False, True),
    ("tdg", (9,), "Tdg", "Tdg(9)", False, True),
    ("ccx", (4, 0, 2), "CCX", "CCX(4, 0, 2)", False, False),
]


@pytest.mark.parametrize("ctor, args, name, text, clifford, t_type", GATES, ids=[g[0] for g in GATES])
def test_gate_values(ctor, args, name, text, clifford, t_type):
    gate = getattr(QuantumGate, ctor)(*args)
    assert (gate.name, gate.qubits, str(gate), repr(gate)) == (name, list(args), text, f"<QuantumGate: {text}>")
    assert (gate.is_clifford(), gate.is_t_type()) == (clifford, t_type)
    # The static constructor is reachable from an instance too.
    assert str(getattr(gate, ctor)(*args)) == text

    # The circuit appender of the same kind appends the same gate.
    c = QuantumCircuit(2)
    getattr(c, "apply_" + ctor)(*args)
    assert [str(g) for g in c.gates] == [text]


def test_gate_results_are_fresh_objects():
    gate = QuantumGate.cx(0, 1)
    q = gate.qubits
    q.append(7)
    assert gate.qubits == [0, 1]
    assert QuantumGate.h(0) != QuantumGate.h(0)


def test_circuit_text_and_counts():
    c = QuantumCircuit(0)
    assert (str(c), c.num_qubits, c.num_gates, c.gates) == ("QuantumCircuit(num_qubits=0) []", 0, 0, [])
    c = QuantumCircuit(2)
    c.apply_h(7)  # indices are never checked while building
    c.apply_cx(0, 1)
    assert str(c) == "QuantumCircuit(num_qubits=2) [H(7), CX(0, 1)]"
    assert c.num_gates == 2
    assert repr(c).startswith("<kelvra.QuantumCircuit object at 0x")
    with pytest.raises(ValueError, match="^Qubit index 7 is out of bounds for 2 qubits.$"):
        QuantumState.from_circuit(c)


def test_gates_are_copies():
    c = QuantumCircuit(1)
    c.apply_h(0)
    first, second = c.gates[0], c.gates[0]
    assert first is not second and str(first) == str(second)
    gates = c.gates
    gates.clear()
    assert c.num_gates == 1


APPLY_GATE = [
    ("CNOT", [0, 1], None, "CX(0, 1)"),
    ("cx", [1, 0], None, "CX(1, 0)"),
    ("H", [0], None, "H(0)"),
    ("SqrtXdg", [2], None, "SqrtXdg(2)"),
    ("SQRTX", [2], None, "SqrtX(2)"),
    ("swap", [0, 0], None, "Swap(0, 0)"),
    ("Cz", (1, 2), None, "CZ(1, 2)"),
    ("tdg", range(1), None, "Tdg(0)"),
    ("cx", [0], "CX gate requires 2 qubit indices (control, target).", None),
    ("H", [0, 1], "H gate requires 1 qubit index.", None),
    ("sdg", [], "Sdg gate requires 1 qubit index.", None),
    ("swap", [0, 1, 2], "SWAP gate requires 2 qubit indices.", None),
    ("cz", [3], "CZ gate requires 2 qubit indices.", None),
    ("Foo", [0], "Unknown gate name: 'Foo'", None),
    ("ccx", [0, 1, 2], "Unknown gate name: 'ccx'", None),
    ("sqrt_x", [0], "Unknown gate name: 'sqrt_x'", None),
    ("sx", [0], "Unknown gate name: 'sx'", None),
    (" h", [0], "Unknown gate name: ' h'", None),
    ("Foo", [0, 1, 2, 3], "Unknown gate name: 'Foo'", None),  # the name is checked first
]


@pytest.mark.parametrize("name, qubits, error, text", APPLY_GATE, ids=[f"{n}-{len(list(q))}" for n, q, _, _ in APPLY_GATE])
def test_apply_gate_by_name(name, qubits, error, text):
    c = QuantumCircuit(3)
    c.apply_x(0)
    if error is None:
        c.apply_gate(name, qubits)
        assert str(c.gates[-1]) == text
    else:
        with pytest.raises(ValueError) as info:
            c.apply_gate(name, qubits)
        assert str(info.value) == error
        assert c.num_gates == 1


def test_tensor_and_append():
    a = QuantumCircuit(2)
    a.apply_cx(0, 1)
    b = QuantumCircuit(3)
    b.apply_ccx(0, 1, 2)
    b.apply_h(2)
    t = a.tensor(b)
    assert str(t) == "QuantumCircuit(num_qubits=5) [CX(0, 1), CCX(2, 3, 4), H(4)]"
    assert str(a) == "QuantumCircuit(num_qubits=2) [CX(0, 1)]"
    assert str(b) == "QuantumCircuit(num_qubits=3) [CCX(0, 1, 2), H(2)]"
    assert str(QuantumCircuit(0).tensor(b)) == str(b)

    a.append(b)  # the wider circuit's gates keep their indices; the width stays
    assert str(a) == "QuantumCircuit(num_qubits=2) [CX(0, 1), CCX(0, 1, 2), H(2)]"
    assert b.num_gates == 2


def test_random_clifford_is_determined_by_the_seed():
    a = QuantumCircuit.random_clifford(3, seed=1)
    b = QuantumCircuit.random_clifford(n=3, seed=(1).to_bytes(32, "little"))
    assert str(a) == str(b)
    assert a.num_qubits == 3 and all(g.is_clifford() for g in a.gates)
    assert str(QuantumCircuit.random_clifford(0)) == "QuantumCircuit(num_qubits=0) []"
    others = {str(QuantumCircuit.random_clifford(3, seed=s)) for s in range(2, 8)}
    assert len(others) > 1
    # Unseeded calls draw their key from the operating system.
    assert QuantumCircuit.random_clifford(4).num_qubits == 4
