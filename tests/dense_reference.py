"""A dense state-vector reference for the tests: gates, Pauli expectation values, projections and
outcome probabilities on at most a handful of qubits. Qubit j is bit j of a basis-state index."""

from __future__ import annotations

import cmath
import math
import random
from collections.abc import Iterable, Sequence

import numpy as np

_S2 = 1 / math.sqrt(2)

ONE_QUBIT = {
    "H": np.array([[1, 1], [1, -1]], dtype=complex) * _S2,
    "X": np.array([[0, 1], [1, 0]], dtype=complex),
    "Y": np.array([[0, -1j], [1j, 0]], dtype=complex),
    "Z": np.array([[1, 0], [0, -1]], dtype=complex),
    "S": np.array([[1, 0], [0, 1j]], dtype=complex),
    "Sdg": np.array([[1, 0], [0, -1j]], dtype=complex),
    "SqrtX": np.array([[1 + 1j, 1 - 1j], [1 - 1j, 1 + 1j]], dtype=complex) / 2,
    "SqrtXdg": np.array([[1 - 1j, 1 + 1j], [1 + 1j, 1 - 1j]], dtype=complex) / 2,
    "T": np.array([[1, 0], [0, cmath.exp(1j * math.pi / 4)]], dtype=complex),
    "Tdg": np.array([[1, 0], [0, cmath.exp(-1j * math.pi / 4)]], dtype=complex),
}
TWO_QUBIT = ("CX", "CZ", "Swap")
PAULI = {"I": np.eye(2, dtype=complex), "X": ONE_QUBIT["X"], "Y": ONE_QUBIT["Y"], "Z": ONE_QUBIT["Z"]}


def _as_tensor(psi: np.ndarray, n: int) -> np.ndarray:
    # Axis k of the tensor is qubit n - 1 - k (C order: the last axis is the lowest bit).
    return psi.reshape((2,) * n) if n else psi.reshape(())


def _axis(n: int, q: int) -> int:
    return n - 1 - q


def apply_one(psi: np.ndarray, n: int, u: np.ndarray, q: int) -> np.ndarray:
    t = _as_tensor(psi, n)
    t = np.moveaxis(np.tensordot(u, t, axes=([1], [_axis(n, q)])), 0, _axis(n, q))
    return t.reshape(-1)


def apply_gate(psi: np.ndarray, n: int, name: str, qubits: Sequence[int]) -> np.ndarray:
    if name in ONE_QUBIT:
        return apply_one(psi, n, ONE_QUBIT[name], qubits[0])
    a, b = qubits
    index = np.arange(1 << n)
    bit_a = (index >> a) & 1
    bit_b = (index >> b) & 1
    out = psi.copy()
    if name == "CX":
        out = psi[np.where(bit_a == 1, index ^ (1 << b), index)]
    elif name == "CZ":
        out = np.where((bit_a & bit_b) == 1, -psi, psi)
    elif name == "Swap":
        swapped = index ^ ((bit_a ^ bit_b) * ((1 << a) | (1 << b)))
        out = psi[swapped]
    else:
        raise ValueError(name)
    return out


def run(n: int, gates: Iterable[tuple[str, Sequence[int]]]) -> np.ndarray:
    psi = np.zeros(1 << n, dtype=complex)
    psi[0] = 1
    for name, qubits in gates:
        psi = apply_gate(psi, n, name, qubits)
    return psi


def pauli_matrix_apply(psi: np.ndarray, n: int, dense: str) -> np.ndarray:
    """P·ψ for a dense Pauli text (the last letter acts on qubit 0)."""
    assert len(dense) == n
    for q, letter in enumerate(reversed(dense)):
        psi = apply_one(psi, n, PAULI[letter], q)
    return psi


def exp_value(psi: np.ndarray, n: int, dense: str) -> float:
    return float(np.vdot(psi, pauli_matrix_apply(psi, n, dense)).real)


def project(psi: np.ndarray, q: int, outcome: bool) -> np.ndarray:
    index = np.arange(psi.size)
    keep = ((index >> q) & 1) == int(outcome)
    return np.where(keep, psi, 0)


def outcome_probabilities(psi: np.ndarray, qargs: Sequence[int]) -> dict[str, float]:
    """Probability of every outcome key ("character j is qargs[j]") with non-zero weight."""
    probs: dict[str, float] = {}
    for index, amp in enumerate(psi):
        p = abs(amp) ** 2
        if p < 1e-15:
            continue
        key = "".join("1" if (index >> q) & 1 else "0" for q in qargs)
        probs[key] = probs.get(key, 0.0) + p
    return probs


CLIFFORD_NAMES = ("H", "X", "Y", "Z", "S", "Sdg", "SqrtX", "SqrtXdg")


def random_circuit(rng: random.Random, n: int, depth: int, max_t: int) -> list[tuple[str, list[int]]]:
    """A random gate list over the whole gate set except CCX, with at most `max_t` T-type gates."""
    gates: list[tuple[str, list[int]]] = []
    t_left = max_t
    for _ in range(depth):
        roll = rng.random()
        if roll < 0.4 and t_left > 0:
            gates.append((rng.choice(("T", "Tdg")), [rng.randrange(n)]))
            t_left -= 1
        elif roll < 0.7 and n >= 2:
            a, b = rng.sample(range(n), 2)
            gates.append((rng.choice(TWO_QUBIT), [a, b]))
        else:
            gates.append((rng.choice(CLIFFORD_NAMES), [rng.randrange(n)]))
    return gates
