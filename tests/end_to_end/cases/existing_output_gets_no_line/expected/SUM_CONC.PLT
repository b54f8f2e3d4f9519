previous run
