"""Random Clifford+T circuits (up to 6 qubits, up to 8 T-type gates) against the dense reference:
state vectors, expectation values, overlaps, measurement and sampling statistics."""

import math
import random

import numpy as np
import pytest

import dense_reference as ref
from kelvra import PauliString, QuantumCircuit, QuantumState

METHOD = {
    "H": "h", "X": "x", "Y": "y", "Z": "z", "S": "s", "Sdg": "sdg", "SqrtX": "sqrt_x", "SqrtXdg": "sqrt_xdg",
    "CX": "cx", "CZ": "cz", "Swap": "swap", "T": "t", "Tdg": "tdg",
}


def make_case(seed):
    rng = random.Random(seed)
    n = 1 + seed % 6
    # Every third case is long enough to use the whole budget of 8 T-type gates.
    heavy = seed % 3 == 2
    depth = 40 if heavy else rng.randrange(4, 30)
    gates = ref.random_circuit(rng, n, depth=depth, max_t=8 if heavy else rng.randrange(0, 9))
    return rng, n, gates


def build(n, gates):
    c = QuantumCircuit(n)
    for name, qubits in gates:
        getattr(c, "apply_" + METHOD[name])(*qubits)
    return c


def compiled(n, gates):
    return QuantumState.from_circuit(build(n, gates))


SEEDS = list(range(24))


def case_id(seed):
    _, n, gates = make_case(seed)
    t = sum(name in ("T", "Tdg") for name, _ in gates)
    return f"seed{seed}-{n}q-{t}T"


@pytest.mark.parametrize("seed", SEEDS, ids=case_id)
def test_statevector_and_norm(seed):
    _, n, gates = make_case(seed)
    s = compiled(n, gates)
    np.testing.assert_allclose(s.to_statevector(), ref.run(n, gates), atol=1e-9)
    assert s.norm() == pytest.approx(1.0, abs=1e-9)


def random_pauli(rng, n):
    letters = "".join(rng.choice("IXYZ") for _ in range(n))
    if rng.random() < 0.5:
        return letters, letters
    sparse = " ".join(f"{l}{n - 1 - i}" for i, l in enumerate(letters) if l != "I")
    return letters, sparse


@pytest.mark.parametrize("seed", SEEDS, ids=case_id)
def test_exp_value(seed):
    rng, n, gates = make_case(seed)
    s = compiled(n, gates)
    psi = ref.run(n, gates)
    for _ in range(4):
        dense, text = random_pauli(rng, n)
        assert s.exp_value(PauliString.from_str(text)) == pytest.approx(ref.exp_value(psi, n, dense), abs=1e-9), text


@pytest.mark.parametrize("seed", SEEDS[::2], ids=case_id)
def test_inner_product(seed):
    rng, n, gates = make_case(seed)
    other = ref.random_circuit(rng, n, depth=12, max_t=4)
    got = compiled(n, gates).inner_product(compiled(n, other))
    assert got == pytest.approx(complex(np.vdot(ref.run(n, gates), ref.run(n, other))), abs=1e-9)


@pytest.mark.parametrize("seed", SEEDS, ids=case_id)
def test_measure_collapses_onto_a_possible_outcome(seed):
    rng, n, gates = make_case(seed)
    qargs = rng.sample(range(n), rng.randrange(1, n + 1))
    s = compiled(n, gates)
    outcomes = s.measure(qargs, seed=seed)
    psi = ref.run(n, gates)
    for q, bit in zip(qargs, outcomes):
        psi = ref.project(psi, q, bit)
        assert np.vdot(psi, psi).real > 1e-12, "drew an outcome of probability zero"
    psi /= math.sqrt(np.vdot(psi, psi).real)
    np.testing.assert_allclose(s.to_statevector(), psi, atol=1e-9)


@pytest.mark.parametrize("seed", SEEDS, ids=case_id)
def test_clifford_updates_projection_and_discard(seed):
    rng, n, gates = make_case(seed)
    s = compiled(n, gates)
    psi = ref.run(n, gates)
    for name, qubits in ref.random_circuit(rng, n, depth=8, max_t=0):
        getattr(s, "apply_" + METHOD[name])(*qubits)
        psi = ref.apply_gate(psi, n, name, qubits)
    np.testing.assert_allclose(s.to_statevector(), psi, atol=1e-9)

    q, outcome = rng.randrange(n), rng.random() < 0.5
    s.project_unnormalized(q, outcome)
    psi = ref.project(psi, q, outcome)
    np.testing.assert_allclose(s.to_statevector(), psi, atol=1e-9)
    if n > 1 and np.vdot(psi, psi).real > 1e-12:
        if outcome:
            s.apply_x(q)
            psi = ref.apply_gate(psi, n, "X", [q])
        s.discard(q)
        index = np.arange(1 << (n - 1))
        full = ((index >> q) << (q + 1)) | (index & ((1 << q) - 1))
        np.testing.assert_allclose(s.to_statevector(), psi[full], atol=1e-9)


@pytest.mark.parametrize("seed", SEEDS[:12], ids=case_id)
def test_sample_statistics(seed):
    rng, n, gates = make_case(seed)
    qargs = rng.sample(range(n), rng.randrange(1, n + 1))
    shots = 4000
    counts = compiled(n, gates).sample(qargs, shots, seed=seed)
    probs = ref.outcome_probabilities(ref.run(n, gates), qargs)
    assert sum(counts.values()) == shots
    assert set(counts) <= set(probs)
    for key, p in probs.items():
        sigma = math.sqrt(shots * p * (1 - p))
        assert abs(counts.get(key, 0) - shots * p) <= 5 * sigma + 1, (key, p, counts)
