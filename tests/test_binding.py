"""Argument binding, conversion, seeds and the access discipline, shared by every entry point."""

import numpy as np
import pytest

from kelvra import PauliString, QuantumCircuit, QuantumGate, QuantumState


def state(n=2, *gates):
    c = QuantumCircuit(n)
    for name, qubits in gates:
        c.apply_gate(name, qubits)
    return QuantumState.from_circuit(c)


def plus_state(n=3):
    return state(n, *[("h", [q]) for q in range(n)])


# ---- Binding -------------------------------------------------------------------------------

BINDING_ERRORS = [
    (lambda s: s.measure(), "QuantumState.measure() missing 1 required positional argument: 'qargs'"),
    (
        lambda s: QuantumState.from_circuit(QuantumCircuit(1), QuantumCircuit(1)),
        "QuantumState.from_circuit() takes 1 positional arguments but 2 were given",
    ),
    (lambda s: s.norm(1), "QuantumState.norm() takes 0 positional arguments but 1 was given"),
    (
        lambda s: s.measure([0], 1, 2),
        "QuantumState.measure() takes from 1 to 2 positional arguments but 3 were given",
    ),
    (
        lambda s: s.sample(),
        "QuantumState.sample() missing 2 required positional arguments: 'qargs' and 'shots'",
    ),
    (
        lambda s: QuantumGate.ccx(),
        "QuantumGate.ccx() missing 3 required positional arguments: 'control1', 'control2', and 'target'",
    ),
    (
        lambda s: QuantumGate.ccx(1, target=2),
        "QuantumGate.ccx() missing 1 required positional argument: 'control2'",
    ),
    (lambda s: s.apply_h(0, qubits=1), "QuantumState.apply_h() got an unexpected keyword argument 'qubits'"),
    (lambda s: s.apply_h(0, qubit=1), "QuantumState.apply_h() got multiple values for argument 'qubit'"),
    (lambda s: QuantumCircuit(), "QuantumCircuit.__new__() missing 1 required positional argument: 'num_qubits'"),
    (lambda s: QuantumCircuit(1, 2), "QuantumCircuit.__new__() takes 1 positional arguments but 2 were given"),
    (lambda s: PauliString.from_str(t="Z"), "PauliString.from_str() got an unexpected keyword argument 't'"),
    (lambda s: QuantumGate.h(0).is_t_type(x=1), "QuantumGate.is_t_type() got an unexpected keyword argument 'x'"),
]


@pytest.mark.parametrize("call, message", BINDING_ERRORS, ids=[m for _, m in BINDING_ERRORS])
def test_binding_errors(call, message):
    with pytest.raises(TypeError) as info:
        call(state())
    assert str(info.value) == message


def test_every_parameter_binds_by_keyword():
    s = plus_state(2)
    assert s.sample(qargs=[0, 1], shots=4, seed=1) == s.sample(shots=4, seed=1, qargs=[0, 1])
    s.project_normalized(outcome=True, qubit=0)
    c = QuantumCircuit(num_qubits=2)
    c.apply_cx(target=1, control=0)
    c.apply_gate(qubits=[1], gate_name="h")
    assert str(c) == "QuantumCircuit(num_qubits=2) [CX(0, 1), H(1)]"
    assert QuantumGate.ccx(target=2, control2=1, control1=0).qubits == [0, 1, 2]
    assert str(PauliString.from_str(s="X0")) == "X0"


# ---- Conversion ----------------------------------------------------------------------------


class Index:
    def __init__(self, v):
        self.v = v

    def __index__(self):
        return self.v


class MyInt(int):
    pass


@pytest.mark.parametrize(
    "value, expected",
    [(True, 1), (MyInt(3), 3), (Index(2), 2), (np.int64(4), 4), (2**64 - 1, 2**64 - 1)],
    ids=["bool", "int subclass", "__index__", "numpy int", "largest"],
)
def test_index_accepts_integers(value, expected):
    assert QuantumGate.h(value).qubits == [expected]


@pytest.mark.parametrize(
    "value, exc, pattern",
    [
        (-1, OverflowError, "^can't convert negative int to unsigned$"),
        (2**64, OverflowError, "^int too big to convert$"),
        ("0", TypeError, "^argument 'qubit': 'str' object cannot be interpreted as an integer$"),
        (1.0, TypeError, "^argument 'qubit': 'float' object cannot be interpreted as an integer$"),
        (None, TypeError, "^argument 'qubit': 'NoneType' object cannot be interpreted as an integer$"),
    ],
    ids=["negative", "too large", "str", "float", "None"],
)
def test_index_rejections(value, exc, pattern):
    s = state(1)
    with pytest.raises(exc, match=pattern):
        s.apply_h(value)


@pytest.mark.parametrize(
    "qargs",
    [[0, 1], (0, 1), range(2), bytes([0, 1]), np.array([0, 1])],
    ids=["list", "tuple", "range", "bytes", "numpy array"],
)
def test_index_list_accepts_sequences(qargs):
    assert plus_state(2).measure(qargs, seed=3) == plus_state(2).measure([0, 1], seed=3)


@pytest.mark.parametrize(
    "qargs, exc, message",
    [
        ("01", TypeError, "argument 'qargs': 'str' object cannot be converted to a list"),
        ({0, 1}, TypeError, "argument 'qargs': 'set' object cannot be converted to 'Sequence'"),
        ({0: 0}, TypeError, "argument 'qargs': 'dict' object cannot be converted to 'Sequence'"),
        (5, TypeError, "argument 'qargs': 'int' object cannot be converted to 'Sequence'"),
        ([0, "1"], TypeError, "argument 'qargs': 'str' object cannot be interpreted as an integer"),
        ([0, -1], OverflowError, "can't convert negative int to unsigned"),
    ],
    ids=["str", "set", "dict", "int", "bad item", "negative item"],
)
def test_index_list_rejections(qargs, exc, message):
    s = plus_state(2)
    with pytest.raises(exc) as info:
        s.measure(qargs)
    assert str(info.value) == message
    assert s.stabilizer_rank == 1 and abs(s.exp_value(PauliString.from_str("XX")) - 1) < 1e-12


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda s: s.exp_value("Z"), "argument 'pauli_op': 'str' object cannot be converted to 'PauliString'"),
        (lambda s: s.inner_product(QuantumCircuit(1)), "argument 'other': 'QuantumCircuit' object cannot be converted to 'QuantumState'"),
        (lambda s: s.apply_gate("h"), "argument 'gate': 'str' object cannot be converted to 'QuantumGate'"),
        (lambda s: s.apply_gates([QuantumGate.x(0), "x"]), "argument 'gates': 'str' object cannot be converted to 'QuantumGate'"),
        (lambda s: s.apply_gates("x"), "argument 'gates': 'str' object cannot be converted to a list"),
        (lambda s: QuantumState.from_circuit(s), "argument 'circuit': 'QuantumState' object cannot be converted to 'QuantumCircuit'"),
        (lambda s: PauliString.from_str(5), "argument 's': 'int' object cannot be converted to 'str'"),
        (lambda s: QuantumCircuit(1).to_qasm_str(b"q"), "argument 'reg_name': 'bytes' object cannot be converted to 'str'"),
        (lambda s: s.project_normalized(0, 1), "argument 'outcome': 'int' object cannot be converted to 'bool'"),
        (lambda s: s.project_normalized(0, None), "argument 'outcome': 'NoneType' object cannot be converted to 'bool'"),
    ],
    ids=["exp_value str", "inner_product circuit", "apply_gate str", "apply_gates item", "apply_gates str",
         "from_circuit state", "from_str int", "reg_name bytes", "outcome int", "outcome None"],
)
def test_object_and_text_and_bool_rejections(call, message):
    s = state(1, ("h", [0]))
    with pytest.raises(TypeError) as info:
        call(s)
    assert str(info.value) == message
    assert s.to_statevector() == pytest.approx([2**-0.5, 2**-0.5])


def test_bool_accepts_numpy_bool():
    s = plus_state(1)
    s.project_normalized(0, np.True_)
    assert s.to_statevector() == pytest.approx([0, 1])


def test_text_that_cannot_be_utf8_raises_unicode_encode_error():
    with pytest.raises(UnicodeEncodeError):
        PauliString.from_str("X\udc80")


def test_conversion_stops_at_the_first_failing_argument():
    # qarg1 fails first; qarg2 would fail too.
    with pytest.raises(TypeError, match="^argument 'qarg1': "):
        QuantumGate.cz("a", "b")
    with pytest.raises(TypeError, match="^argument 'qarg2': "):
        QuantumGate.cz(0, "b")


# ---- Seeds ---------------------------------------------------------------------------------


def measure_bits(seed):
    # Eight independent fair coins: the outcomes fingerprint the seed bytes.
    return tuple(plus_state(8).measure(list(range(8)), seed=seed))


@pytest.mark.parametrize(
    "a, b",
    [
        (7, (7).to_bytes(32, "little")),
        (2**70, (2**70).to_bytes(32, "little")),
        (True, 1),
        (MyInt(9), 9),
        (Index(5), 5),
        (2**64 - 1, (2**64 - 1).to_bytes(32, "little")),
        (2**256 - 1, b"\xff" * 32),
    ],
    ids=["7", "2**70", "True", "int subclass", "__index__", "2**64-1", "2**256-1"],
)
def test_equivalent_seeds_give_equal_draws(a, b):
    assert measure_bits(a) == measure_bits(b)


def test_different_seeds_differ():
    draws = {measure_bits(seed) for seed in range(6)}
    assert len(draws) > 1


@pytest.mark.parametrize(
    "seed, exc, message",
    [
        (-1, OverflowError, "can't convert negative int to unsigned"),
        (2**256, OverflowError, "int too big to convert"),
        (1.5, TypeError, "Seed must be an integer or 32 bytes"),
        (bytearray(32), TypeError, "Seed must be an integer or 32 bytes"),
        ("7", TypeError, "Seed must be an integer or 32 bytes"),
        (MyInt(-1), TypeError, "Seed must be an integer or 32 bytes"),
        (b"abc", ValueError, "Seed must be 32 bytes, got 3"),
        (b"", ValueError, "Seed must be 32 bytes, got 0"),
    ],
    ids=["negative", "2**256", "float", "bytearray", "str", "negative int subclass", "3 bytes", "empty bytes"],
)
def test_seed_rejections_leave_the_state_unchanged(seed, exc, message):
    s = plus_state(2)
    with pytest.raises(exc) as info:
        s.measure([0, 1], seed=seed)
    assert str(info.value) == message
    assert s.stabilizer_rank == 1 and s.norm() == pytest.approx(1.0)
    assert s.to_statevector() == pytest.approx([0.5] * 4)


def test_seed_is_converted_after_the_other_arguments():
    with pytest.raises(TypeError, match="^argument 'qargs'"):
        plus_state(1).measure("0", seed=1.5)
    with pytest.raises(TypeError, match="^argument 'n'"):
        QuantumCircuit.random_clifford("3", seed=b"x")


# ---- Access discipline ---------------------------------------------------------------------


def test_append_to_itself_raises_and_changes_nothing():
    c = QuantumCircuit(2)
    c.apply_h(0)
    with pytest.raises(RuntimeError, match="already in use"):
        c.append(c)
    assert str(c) == "QuantumCircuit(num_qubits=2) [H(0)]"
    c.append(QuantumCircuit(1))  # the use was released
    assert str(c.tensor(c)) == "QuantumCircuit(num_qubits=4) [H(0), H(2)]"


def test_self_inner_product_is_allowed():
    s = plus_state(2)
    assert s.inner_product(s) == pytest.approx(1.0)


class Reentrant:
    """An index whose conversion calls back into the object being changed."""

    def __init__(self, action):
        self.action = action
        self.error = None

    def __index__(self):
        try:
            self.action()
        except RuntimeError as e:
            self.error = str(e)
        return 0


def test_reentrant_use_during_conversion_is_refused():
    s = plus_state(2)
    probe = Reentrant(lambda: s.sample([0], 1))
    assert s.measure([probe], seed=1) in ([False], [True])
    assert probe.error is not None and "already in use" in probe.error

    c = QuantumCircuit(1)
    probe = Reentrant(lambda: c.apply_x(0))
    c.apply_h(probe)
    assert "already in use" in probe.error
    assert str(c) == "QuantumCircuit(num_qubits=1) [H(0)]"

    # A shared use admits other readers.
    probe = Reentrant(lambda: s.norm())
    s.sample([probe], 1)
    assert probe.error is None


def test_keyword_dict_mutated_during_conversion_is_safe():
    kwargs = {}

    class Clearing:
        def __index__(self):
            kwargs.clear()
            return 0

    kwargs.update(qarg1=Clearing(), qarg2=Index(1))
    assert QuantumGate.cz(**kwargs).qubits == [0, 1]

