"""QuantumState: results, in-place changes and the ValueErrors of engine failures."""

import pytest

from kelvra import PauliString, QuantumCircuit, QuantumGate, QuantumState


def state(n, *gates):
    c = QuantumCircuit(n)
    for name, qubits in gates:
        c.apply_gate(name, qubits)
    return QuantumState.from_circuit(c)


def pauli(text):
    return PauliString.from_str(text)


def test_empty_circuit_state():
    s = state(2)
    assert str(s) == "QuantumState(num_qubits=2, stabilizer_rank=1)"
    assert repr(s).startswith("<kelvra.QuantumState object at 0x")
    v = s.to_statevector()
    assert type(v) is list and all(type(a) is complex for a in v)
    assert v == [1, 0, 0, 0]
    assert (s.num_qubits, s.stabilizer_rank, s.norm()) == (2, 1, 1.0)


def test_from_circuit_leaves_the_circuit_alone():
    c = QuantumCircuit(1)
    c.apply_h(0)
    c.apply_t(0)
    s = QuantumState.from_circuit(c)
    assert str(c) == "QuantumCircuit(num_qubits=1) [H(0), T(0)]"
    s.apply_h(0)
    c.apply_h(0)
    assert s.to_statevector() == pytest.approx(QuantumState.from_circuit(c).to_statevector())


@pytest.mark.parametrize(
    "qargs, key",
    [([0, 1], "10"), ([1, 0], "01"), ([0], "1"), ((1,), "0")],
    ids=["0,1", "1,0", "0", "1"],
)
def test_sample_keys_follow_the_qubit_list(qargs, key):
    assert state(2, ("x", [0])).sample(qargs, 10) == {key: 10}


def test_sample_order_is_depth_first_and_the_state_is_unchanged():
    s = state(2, ("h", [0]), ("h", [1]))
    counts = s.sample([0, 1], 2000, seed=11)
    assert sum(counts.values()) == 2000 and all(type(v) is int for v in counts.values())
    # Highest listed qubit first, outcome 0 before 1: keys sorted by (qubit 1, qubit 0).
    assert list(counts) == sorted(counts, key=lambda k: (k[1], k[0]))
    assert counts == s.sample([0, 1], 2000, seed=11)
    assert s.stabilizer_rank == 1 and s.norm() == pytest.approx(1.0)


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda s: s.sample([0, 0], 5), "Duplicate qubit index found: 0."),
        (lambda s: s.sample([], 5), "Qubit index list is empty."),
        (lambda s: s.sample([3], 5), "Qubit index 3 is out of bounds for 2 qubits."),
        (lambda s: s.measure([]), "Qubit index list is empty."),
        (lambda s: s.measure([1, 1]), "Duplicate qubit index found: 1."),
        (lambda s: s.measure([5]), "Qubit index 5 is out of bounds for 2 qubits."),
        (lambda s: s.apply_h(5), "Qubit index 5 is out of bounds for 2 qubits."),
        (lambda s: s.apply_cx(1, 1), None),
        (lambda s: s.apply_gate(QuantumGate.t(0)), "Direct application of non-Clifford gate T is not supported."),
        (lambda s: s.apply_gate(QuantumGate.ccx(0, 1, 0)), "Direct application of non-Clifford gate CCX is not supported."),
        (lambda s: s.exp_value(pauli("ZZZ")), "Invalid Pauli string length: expected 2, found 3."),
        (lambda s: s.exp_value(pauli("X5")), "Invalid Pauli string length: expected 2, found 6."),
        (lambda s: s.project_unnormalized(2, True), "Qubit index 2 is out of bounds for 2 qubits."),
        (lambda s: s.discard(5), "Qubit index 5 is out of bounds for 2 qubits."),
        (lambda s: s.inner_product(state(3)), None),
    ],
    ids=["sample dup", "sample empty", "sample range", "measure empty", "measure dup", "measure range",
         "apply_h range", "cx equal", "apply T", "apply CCX", "dense length", "sparse length", "project range",
         "discard range", "inner mismatch"],
)
def test_engine_errors_are_value_errors_and_change_nothing(call, message):
    s = state(2, ("h", [0]))
    before = s.to_statevector()
    with pytest.raises(ValueError) as info:
        call(s)
    if message is not None:
        assert str(info.value) == message
    assert s.to_statevector() == before and s.num_qubits == 2


def test_from_circuit_errors():
    c = QuantumCircuit(3)
    c.apply_ccx(0, 1, 2)
    with pytest.raises(ValueError, match=r"^Gate CCX is not supported\.$"):
        QuantumState.from_circuit(c)


def test_measure():
    s = state(3, ("h", [0]), ("cx", [0, 1]), ("x", [2]))
    twin = state(3, ("h", [0]), ("cx", [0, 1]), ("x", [2]))
    out = s.measure([2, 0, 1], seed=5)
    assert out == twin.measure([2, 0, 1], seed=5)
    assert all(type(b) is bool for b in out)
    assert out[0] is True and out[1] == out[2]
    assert s.to_statevector() == pytest.approx(twin.to_statevector())
    assert s.norm() == pytest.approx(1.0)

    all_out = state(3, ("x", [1])).measure_all(seed=None)
    assert all_out == [False, True, False]
    empty = state(1)
    empty.discard(0)
    with pytest.raises(ValueError, match="^Qubit index list is empty.$"):
        empty.measure_all()
    with pytest.raises(ValueError, match=r"^Number of qubits must be greater than zero, got 0\.$"):
        state(0)


def test_apply_gate_and_apply_gates():
    s = state(2)
    s.apply_gate(QuantumGate.h(0))
    s.apply_gates([QuantumGate.cx(0, 1)])
    s.apply_gates([])
    assert s.to_statevector() == pytest.approx([2**-0.5, 0, 0, 2**-0.5])

    s = state(1)
    with pytest.raises(ValueError, match=r"^Direct application of non-Clifford gate T is not supported\.$"):
        s.apply_gates((QuantumGate.h(0), QuantumGate.t(0), QuantumGate.x(0)))
    assert s.to_statevector() == pytest.approx([2**-0.5, 2**-0.5])  # H stayed, X did not run

    s = state(1)
    with pytest.raises(TypeError):
        s.apply_gates([QuantumGate.x(0), "x"])
    assert s.to_statevector() == [1, 0]


@pytest.mark.parametrize(
    "method, args, vector",
    [
        ("apply_x", (0,), [0, 1, 0, 0]),
        ("apply_y", (0,), [0, 1j, 0, 0]),
        ("apply_z", (0,), [1, 0, 0, 0]),
        ("apply_h", (1,), [2**-0.5, 0, 2**-0.5, 0]),
        ("apply_s", (0,), [1, 0, 0, 0]),
        ("apply_sdg", (0,), [1, 0, 0, 0]),
        ("apply_sqrt_x", (0,), [(1 + 1j) / 2, (1 - 1j) / 2, 0, 0]),
        ("apply_sqrt_xdg", (0,), [(1 - 1j) / 2, (1 + 1j) / 2, 0, 0]),
        ("apply_cx", (0, 1), [1, 0, 0, 0]),
        ("apply_cz", (0, 1), [1, 0, 0, 0]),
        ("apply_swap", (0, 1), [1, 0, 0, 0]),
    ],
    ids=lambda v: v if isinstance(v, str) else None,
)
def test_gate_methods_on_zero(method, args, vector):
    s = state(2)
    assert getattr(s, method)(*args) is None
    assert s.to_statevector() == pytest.approx(vector)


def test_exp_value_inner_product_and_norm():
    s = state(1)
    assert s.exp_value(pauli("Z")) == 1.0 and type(s.exp_value(pauli("Z"))) is float
    assert s.exp_value(pauli("X")) == pytest.approx(0.0)
    s.apply_x(0)
    assert s.exp_value(pauli("Z0")) == pytest.approx(-1.0)

    t = state(2, ("h", [0]), ("t", [0]), ("cx", [0, 1]))
    ip = t.inner_product(t)
    assert type(ip) is complex and ip == pytest.approx(t.norm() ** 2)
    assert state(2).inner_product(state(2, ("h", [0]))) == pytest.approx(2**-0.5)


def test_projections_and_discard():
    s = state(1)
    with pytest.raises(ValueError) as info:
        s.project_normalized(0, True)
    assert str(info.value) == "Impossible projection on qubit 0: cannot project determined state |0> onto |1>."
    assert s.stabilizer_rank == 0 and s.norm() == 0.0

    s = state(1, ("h", [0]))
    s.project_normalized(0, True)
    assert s.norm() == pytest.approx(1.0) and s.to_statevector() == pytest.approx([0, 1])

    s = state(1, ("h", [0]))
    s.project_unnormalized(0, False)
    assert s.norm() == pytest.approx(2**-0.5)

    s = state(1)
    s.project_unnormalized(0, True)
    assert (s.stabilizer_rank, s.norm()) == (0, 0.0)
    with pytest.raises(ValueError, match=r"^p < 0 or is NaN in binomial distribution$"):
        s.sample([0], 1)
    with pytest.raises(ValueError, match="^Not implemented: Measurement on a zero-norm state is not possible.$"):
        s.measure([0])

    s = state(2, ("x", [1]))
    s.discard(0)
    assert str(s) == "QuantumState(num_qubits=1, stabilizer_rank=1)"
    assert s.to_statevector() == pytest.approx([0, 1])


def test_statevector_limit():
    s = QuantumState.from_circuit(QuantumCircuit(29))
    with pytest.raises(ValueError, match="^Calculating the statevector for a state with 29 qubits is not feasible.$"):
        s.to_statevector()


def test_sample_zero_shots_and_large_registers():
    s = state(2)
    assert s.sample([0, 1], 0) == {}
    with pytest.raises(ValueError, match="^Duplicate qubit index found: 1.$"):
        s.sample([1, 1], 0)
    wide = QuantumState.from_circuit(QuantumCircuit(130))
    assert wide.sample(range(128), 3) == {"0" * 128: 3}
    with pytest.raises(ValueError, match="^Sampling more than 128 qubits is not supported.$"):
        wide.sample(range(129), 3)
