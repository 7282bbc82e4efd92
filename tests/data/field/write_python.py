import numpy as np, pandas as pd, networkx as nx, igraph as ig, io
names=["P1","Q2","R3","S4","T5"]
m=np.array([[1,0.62,-0.31,0.05,0.4],[0.62,1,0.18,-0.77,0.2],[-0.31,0.18,1,0.5,-0.1],[0.05,-0.77,0.5,1,0.33],[0.4,0.2,-0.1,0.33,1]])
df=pd.DataFrame(m,index=names,columns=names)
df.mask(np.triu(np.ones(m.shape,dtype=bool))).to_csv("pandas-lower-triangle.csv")
df.to_csv("pandas-semicolon.csv",sep=";",decimal=",")
G=nx.Graph()
for i in range(5):
    for j in range(i+1,5):
        if abs(m[i,j])>=0.15: G.add_edge(names[i],names[j],weight=float(m[i,j]))
nx.write_edgelist(G,"networkx-edgelist.txt")
nx.write_edgelist(G,"networkx-edgelist-nodata.txt",data=False)
nx.write_adjlist(G,"networkx-adjlist.txt")
nx.write_gml(G,"networkx.gml")
nx.write_pajek(G,"networkx.net")
H=nx.Graph()
for u,v,d in G.edges(data=True): H.add_edge(u,v,correlation=d['weight'],distance=1-abs(d['weight']))
nx.write_graphml(H,"networkx-two-attributes.graphml")
arr=np.array([[i+1,j+1,m[i,j]] for i in range(5) for j in range(i+1,5)])
np.savetxt("numpy-savetxt-pairs.txt",arr)
g=ig.Graph.TupleList([(u,v,d['weight']) for u,v,d in G.edges(data=True)],weights=True)
g.write_gml("igraph.gml"); g.write_pajek("igraph.net"); g.write_lgl("igraph.lgl"); g.write_ncol("igraph.ncol"); g.write_edgelist("igraph-edgelist.txt")
g.write_dot("igraph.dot")
