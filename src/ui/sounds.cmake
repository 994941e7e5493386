# The five event sounds, built into the program.
