#include "oracle/oracle_program.hpp"
#include "oracle/search_records.hpp"

#include <iostream>

int main(int argc, char **argv) {
	return veltrin_oracle::run_oracle(argc, argv, std::cout, veltrin_oracle::candidate_record);
}
