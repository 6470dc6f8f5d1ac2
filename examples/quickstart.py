"""A first kelvra session: build a small Clifford+T circuit, sample it, and read an expectation
value and a few amplitudes of its exact output state."""

import kelvra


def main() -> None:
    # A GHZ-like circuit with a T gate on qubit 0: |000> + e^{iπ/4}|111>, up to normalisation.
    circuit = kelvra.QuantumCircuit(3)
    circuit.apply_h(0)
    circuit.apply_t(0)
    circuit.apply_cx(0, 1)
    circuit.apply_cx(1, 2)
    print(circuit)

    state = kelvra.QuantumState.from_circuit(circuit)
    print(state)

    # Outcome keys list the qubits in the order asked for: "010" means qubit 0 = 0, 1 = 1, 2 = 0.
    counts = state.sample([0, 1, 2], 1000, seed=2024)
    print("counts:", counts)

    zz = kelvra.PauliString.from_str("ZZI")  # Z on qubits 1 and 2 (qubit 0 is the last letter)
    print("<Z1 Z2> =", state.exp_value(zz))
    x_all = kelvra.PauliString.from_str("X0 X1 X2")
    print("<X0 X1 X2> =", round(state.exp_value(x_all), 6))

    amplitudes = state.to_statevector()
    for index in (0b000, 0b111, 0b011):
        print(f"amplitude of |{index:03b}> (qubit 2 first): {amplitudes[index]:.6f}")


if __name__ == "__main__":
    main()
