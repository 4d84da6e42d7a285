#include "oracle/oracle_program.h"
#include "oracle/search_records.h"

#include <iostream>

int main(int argc, char **argv) {
	return veltrin_oracle::run_oracle(argc, argv, std::cout, veltrin_oracle::candidate_record);
}
