# The user manual, installed with the program.
