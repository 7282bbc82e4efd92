n <- c("P1","Q2","R3","S4","T5")
m <- matrix(c(1,0.62,-0.31,0.05,0.4, 0.62,1,0.18,-0.77,0.2, -0.31,0.18,1,0.5,-0.1, 0.05,-0.77,0.5,1,0.33, 0.4,0.2,-0.1,0.33,1), 5, 5, dimnames=list(n,n))
lower <- m; lower[upper.tri(lower, diag=TRUE)] <- NA
write.csv(lower, "r-lower-triangle.csv", na="")
write.table(m, "r-write-table-unquoted.txt", quote=FALSE)
u <- m; dimnames(u) <- NULL
write.table(u, "r-write-table-unnamed.txt", quote=FALSE)
write.csv2(m, "r-write-csv2.csv")
write.csv(as.data.frame(as.table(m)), "r-long-format.csv")
